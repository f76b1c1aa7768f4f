// What deployment tools and the Apps & features list rely on, end to end:
// the per-user Uninstall entry after unattended and interactive installs,
// its two removal commands run exactly as stored, one setup at a time, and
// the log in the place /LOG= names.
#include <gtest/gtest.h>
#include <windows.h>
#include "installer_flow.h"
#include "sandbox_files.h"

namespace {

const wchar_t ENTRY_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PikeHarbour";

struct Running : Setup {
    ~Running() { setup_kill(*this); }
};

bool entry_exists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ENTRY_KEY, 0, KEY_READ | KEY_WOW64_64KEY, &key) != 0) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void entry_delete() {
    RegDeleteKeyExW(HKEY_CURRENT_USER, ENTRY_KEY, KEY_WOW64_64KEY, 0);
}

std::wstring entry_text(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, ENTRY_KEY, name, RRF_RT_REG_SZ,
                     nullptr, value, &bytes) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return value;
}

long entry_number(const wchar_t* name) {
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, ENTRY_KEY, name, RRF_RT_REG_DWORD,
                     nullptr, &value, &bytes) != ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<long>(value);
}

std::string today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    snprintf(date, sizeof date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

// Every value of the entry for an installation in `folder`.
void expect_entry(const std::wstring& folder) {
    ASSERT_TRUE(entry_exists());
    std::wstring copy = L"\"" + backup_copy_path() + L"\"";
    EXPECT_EQ(narrow(entry_text(L"DisplayName")), "PikeHarbour");
    EXPECT_EQ(narrow(entry_text(L"DisplayVersion")), "3.00");
    EXPECT_EQ(narrow(entry_text(L"Publisher")), "Velmar-Consulting");
    EXPECT_EQ(narrow(entry_text(L"DisplayIcon")), narrow(folder + L"Pikeharbour64.exe,0"));
    EXPECT_EQ(narrow(entry_text(L"InstallLocation")), narrow(folder));
    EXPECT_EQ(narrow(entry_text(L"UninstallString")), narrow(copy + L" /REMOVE"));
    EXPECT_EQ(narrow(entry_text(L"QuietUninstallString")), narrow(copy + L" /S /REMOVE"));
    EXPECT_EQ(entry_number(L"EstimatedSize"), static_cast<long>((product_bytes().size() + 1023) / 1024));
    EXPECT_EQ(narrow(entry_text(L"InstallDate")), today());
    EXPECT_EQ(entry_number(L"NoModify"), 1);
    EXPECT_EQ(entry_number(L"NoRepair"), 1);
}

// The key, the product and the empty folders of ours are gone; the safety
// copy stays.
void expect_removed(const Sandbox& box, const std::wstring& folder) {
    EXPECT_FALSE(entry_exists());
    EXPECT_FALSE(file_exists(folder + L"Pikeharbour64.exe"));
    EXPECT_FALSE(folder_exists(folder));
    EXPECT_FALSE(folder_exists(box.appdata + L"\\PikeHarbour"));
    EXPECT_TRUE(folder_exists(box.appdata));
    EXPECT_TRUE(file_exists(backup_copy_path()));
}

std::string log_end(const std::wstring& path) {
    std::string log = file_bytes(path);
    return log.size() < 40 ? log : log.substr(log.size() - 40);
}

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring setup_command(const std::wstring& parameters) {
    return L"\"" + setup_exe() + L"\" " + parameters;
}

class Deployment : public testing::Test {
protected:
    void SetUp() override { entry_delete(); }
    void TearDown() override { entry_delete(); }
};

// Install to A, reinstall to B (the entry follows), the quiet removal
// command as stored; /LOG= takes the log, and a refused run replaces it.
TEST_F(Deployment, UnattendedEntryFollowsReinstallAndQuietRemovalDeletesIt) {
    Sandbox box = sandbox_make("deployment_unattended");
    SetupEnvironment env = sandbox_environment(box);
    std::wstring log = box.root + L"deploy log.txt";
    std::wstring default_log = env_value(L"TEMP") + L"\\PikeHarbour_Setup.log";
    DeleteFileW(default_log.c_str());
    std::wstring a = box.root + L"A\\";
    std::wstring b = box.root + L"B B\\";
    ASSERT_EQ(0, setup_run(setup_command(L"-admin /S /D=" + a + L" \"/LOG=" + log + L"\""), env));
    EXPECT_TRUE(ends_with(log_end(log), "Exit code: 0\r\n")) << log_end(log);
    EXPECT_FALSE(file_exists(default_log));
    expect_entry(a);

    ASSERT_EQ(0, setup_run(setup_command(L"-admin /S \"/D=" + b + L"\""), env));
    expect_entry(b);

    ASSERT_EQ(0, setup_run(entry_text(L"QuietUninstallString"), env));
    expect_removed(box, b);

    // Today's log ends with 0; a run refused for its parameters must not
    // leave that result behind.
    EXPECT_EQ(5, setup_run(setup_command(L"-admin /S /BOGUS \"/LOG=" + log + L"\""), env));
    EXPECT_TRUE(ends_with(log_end(log), "Exit code: 5\r\n")) << log_end(log);
}

// A setup that does not run as PikeHarbour_Setup.exe leaves no safety
// copy: no entry may name a program that is not there.
TEST_F(Deployment, NoEntryWithoutSafetyCopy) {
    Sandbox box = sandbox_make("deployment_no_copy");
    DeleteFileW(backup_copy_path().c_str());
    std::wstring renamed = box.root + L"Setup Renamed.exe";
    file_put(renamed, file_bytes(setup_exe()));
    std::wstring target = box.root + L"Target\\";
    ASSERT_EQ(0, setup_run(L"\"" + renamed + L"\" -admin /S /D=" + target, sandbox_environment(box)));
    EXPECT_TRUE(file_exists(target + L"Pikeharbour64.exe"));
    EXPECT_FALSE(file_exists(backup_copy_path()));
    EXPECT_FALSE(entry_exists());
}

// An interactive install writes the entry; its UninstallString opens the
// maintenance page with "remove" selected. While that setup runs, a second
// unattended one ends with 1618 and changes nothing, and a second
// interactive one brings the first forward and ends without a window.
TEST_F(Deployment, InteractiveEntryUninstallStringAndOneSetupAtATime) {
    Sandbox box = sandbox_make("deployment_interactive");
    SetupEnvironment env = sandbox_environment(box);
    std::wstring folder = box.program_files + L"\\PikeHarbour\\";
    {
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), env));
        walk_to_folder_page(setup, ENGLISH);
        press_install(setup, ENGLISH);
        expect_success_and_exit(setup, ENGLISH);
    }
    ASSERT_NO_FATAL_FAILURE(expect_entry(folder));

    Running removal;
    ASSERT_TRUE(setup_start_command(removal, entry_text(L"UninstallString"), env));
    control_click(removal, LANGUAGE_NEXT_BUTTON);
    expect_page(removal, MAINTENANCE_PAGE, ENGLISH);
    EXPECT_TRUE(control_checked(removal, REMOVE_OPTION));
    EXPECT_FALSE(control_checked(removal, REINSTALL_OPTION));

    std::wstring log = box.root + L"second.log";
    EXPECT_EQ(1618, setup_run(setup_command(L"-admin /S /REMOVE /LOG=" + log), env));
    EXPECT_TRUE(ends_with(log_end(log), "Exit code: 1618\r\n")) << log_end(log);
    EXPECT_TRUE(file_exists(folder + L"Pikeharbour64.exe"));
    EXPECT_TRUE(file_exists(box.settings_file));
    EXPECT_TRUE(entry_exists());
    // The second interactive setup restores the first one's window.
    ShowWindow(removal.window, SW_MINIMIZE);
    ASSERT_TRUE(wait_until([&] { return IsIconic(removal.window) != FALSE; }));
    EXPECT_EQ(0, setup_run(setup_command(L"-admin"), env, 30000));
    EXPECT_TRUE(wait_until([&] { return IsIconic(removal.window) == FALSE; }));

    control_click(removal, MAINTENANCE_NEXT_BUTTON);
    expect_box(removal, L"Pikeharbour Setup", page_texts[ENGLISH].confirm_removal, IDYES);
    expect_box(removal, L"Pikeharbour Setup", page_texts[ENGLISH].removal_done, IDOK);
    EXPECT_EQ(setup_wait_exit(removal), 0);
    expect_removed(box, folder);
}

}  // namespace
