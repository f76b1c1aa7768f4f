// What deployment tools and the Apps & features list rely on, end to end:
// the per-user Uninstall entry after unattended and interactive installs,
// an all-users installation made and removed through the window,
// its two removal commands run exactly as stored, one setup at a time, and
// the log in the place /LOG= names.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include "installer_flow.h"
#include "sandbox_files.h"

namespace {

const wchar_t ENTRY_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PikeHarbour";

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
    EXPECT_EQ(utf8(entry_text(L"DisplayName")), "PikeHarbour");
    EXPECT_EQ(utf8(entry_text(L"DisplayVersion")), "3.00");
    EXPECT_EQ(utf8(entry_text(L"Publisher")), "Velmar-Consulting");
    EXPECT_EQ(utf8(entry_text(L"DisplayIcon")), utf8(folder + L"Pikeharbour64.exe,0"));
    EXPECT_EQ(utf8(entry_text(L"InstallLocation")), utf8(folder));
    EXPECT_EQ(utf8(entry_text(L"UninstallString")), utf8(copy + L" /REMOVE"));
    EXPECT_EQ(utf8(entry_text(L"QuietUninstallString")), utf8(copy + L" /S /REMOVE"));
    EXPECT_EQ(entry_number(L"EstimatedSize"), static_cast<long>((product_bytes().size() + 1023) / 1024));
    EXPECT_EQ(utf8(entry_text(L"InstallDate")), today());
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
    ASSERT_TRUE(wait_until("the removal window minimized",
            [&] { return IsIconic(removal.window) != FALSE; }));
    EXPECT_EQ(0, setup_run(setup_command(L"-admin"), env, 30000));
    EXPECT_TRUE(wait_until("the removal window restored",
            [&] { return IsIconic(removal.window) == FALSE; }));

    control_click(removal, MAINTENANCE_NEXT_BUTTON);
    expect_box(removal, L"Pikeharbour Setup", page_texts[ENGLISH].confirm_removal, IDYES);
    expect_box(removal, L"Pikeharbour Setup", page_texts[ENGLISH].removal_done, IDOK);
    EXPECT_EQ(setup_wait_exit(removal), 0);
    expect_removed(box, folder);
}

// The user's own installation is newer than this setup (3.00): the install
// button brings a warning whose default button is No. No changes nothing;
// Yes goes on to the usual installation.
TEST_F(Deployment, OlderSetupOverNewerInstallationWarnsWithNoAsDefault) {
    Sandbox box = sandbox_make("deployment_downgrade");
    SetupEnvironment env = sandbox_environment(box);
    ASSERT_EQ(0, setup_run(setup_command(L"-admin /S"), env));
    const wchar_t newer[] = L"3.10";
    ASSERT_EQ(0, RegSetKeyValueW(HKEY_CURRENT_USER, ENTRY_KEY, L"DisplayVersion", REG_SZ, newer,
                                 sizeof newer));
    std::string settings = file_bytes(box.settings_file);

    Running setup;
    ASSERT_TRUE(setup_start(setup, setup_exe(), env));
    control_click(setup, LANGUAGE_NEXT_BUTTON);
    expect_page(setup, MAINTENANCE_PAGE, ENGLISH);
    control_click(setup, MAINTENANCE_NEXT_BUTTON);
    accept_agreement(setup, ENGLISH);
    const std::wstring warning =
        L"Pikeharbour 3.10 is installed on this computer, newer than this setup's version "
        L"3.00.\n\nDo you want to install the older version anyway?";
    control_click(setup, INSTALL_BUTTON);
    MessageBoxSeen seen = message_box_wait(setup);
    ASSERT_NE(seen.dialog, nullptr);
    EXPECT_EQ(utf8(seen.title), "Pikeharbour Setup Warning");
    EXPECT_EQ(utf8(seen.text), utf8(warning));
    LONG style = GetWindowLongW(GetDlgItem(seen.dialog, IDNO), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    message_box_answer(seen, IDNO);
    expect_page(setup, FOLDER_PAGE, ENGLISH);
    EXPECT_EQ(utf8(entry_text(L"DisplayVersion")), "3.10");
    EXPECT_EQ(file_bytes(box.settings_file), settings);

    control_click(setup, INSTALL_BUTTON);
    expect_box(setup, L"Pikeharbour Setup Warning", warning, IDYES);
    expect_box(setup, L"Pikeharbour Setup", page_texts[ENGLISH].confirm_install, IDYES);
    std::wstring backup = backup_copy_path();
    backup.resize(backup.size() - std::wstring(L"PikeHarbour_Setup.exe").size());
    expect_box(setup, L"Pikeharbour Setup", page_texts[ENGLISH].backup_notice + backup, IDOK);
    expect_box(setup, L"Pikeharbour Setup Warning", page_texts[ENGLISH].reinstall_warning, IDYES);
    expect_success_and_exit(setup, ENGLISH);
    EXPECT_EQ(utf8(entry_text(L"DisplayVersion")), "3.00");
}

// The mutex held by a setup whose window cannot be found (another
// session's; here the test holds the name Wine's setup uses, which has no
// private namespaces): an interactive setup says that another one runs,
// instead of ending silently.
TEST_F(Deployment, AnotherSetupWithoutWindowIsNamed) {
    Sandbox box = sandbox_make("deployment_other_session");
    HANDLE held = CreateMutexW(nullptr, FALSE, L"Global\\PikeHarbourSetup");
    ASSERT_NE(nullptr, held);
    Running setup;
    ASSERT_TRUE(setup_launch(setup, setup_exe(), sandbox_environment(box)));
    MessageBoxSeen seen = message_box_wait(setup);
    EXPECT_EQ("PikeHarbour Setup", utf8(seen.title));
    EXPECT_NE(std::string::npos, utf8(seen.text).find("Another Pikeharbour setup is already "
                                                        "running."));
    message_box_answer(seen, IDOK);
    EXPECT_EQ(0, setup_wait_exit(setup));
    CloseHandle(held);
}

}  // namespace

namespace {

const wchar_t RECORD_KEY[] = L"Software\\PikeHarbour";
const wchar_t COMPONENT_KEY[] =
    L"Software\\Microsoft\\Active Setup\\Installed Components\\PikeHarbour";
const wchar_t COPY_FOLDER[] = L"C:\\Program Files\\PikeHarbour\\SetupBackup\\";

bool machine_key_exists(const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &opened) != 0) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

std::wstring public_shortcut() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, nullptr, 0, path);
    return std::wstring(path) + L"\\PikeHarbour.LNK";
}

void forget_all_users() {
    for (const wchar_t* key : {RECORD_KEY, ENTRY_KEY, COMPONENT_KEY}) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
    }
    DeleteFileW(public_shortcut().c_str());
    folder_remove(L"C:\\Program Files\\PikeHarbour");
}

// A copy that runs its own removal cannot always delete itself: then
// Windows is asked to delete it at the next restart.
bool copy_gone_or_pending() {
    std::wstring copy = std::wstring(COPY_FOLDER) + L"PikeHarbour_Setup.exe";
    if (!file_exists(copy)) {
        return true;
    }
    wchar_t pending[4096] = {};
    DWORD bytes = sizeof pending - sizeof(wchar_t);
    RegGetValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                 L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending, &bytes);
    for (const wchar_t* entry = pending; *entry != 0; entry += wcslen(entry) + 1) {
        if (std::wstring(entry).find(L"SetupBackup\\PikeHarbour_Setup.exe") != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

class AllUsersWindow : public testing::Test {
protected:
    void SetUp() override { forget_all_users(); }
    void TearDown() override { forget_all_users(); }
};

}  // namespace

// /ALLUSERS through the window; the entry's UninstallString (the protected
// setup copy) removes it; a settings file left behind then brings up the
// agreement page, not the maintenance page.
TEST_F(AllUsersWindow, InstallRemoveAndNoMaintenancePageAfterwards) {
    Sandbox box = sandbox_make("deployment_all_users");
    SetupEnvironment env = sandbox_environment(box);
    std::wstring folder = box.program_files + L"\\PikeHarbour\\";
    {
        Running setup;
        ASSERT_TRUE(setup_start_command(setup, setup_command(L"-admin /ALLUSERS"), env));
        walk_to_folder_page(setup, ENGLISH);
        control_click(setup, INSTALL_BUTTON);
        expect_box(setup, L"Pikeharbour Setup", page_texts[ENGLISH].confirm_install, IDYES);
        expect_box(setup, L"Pikeharbour Setup",
                   std::wstring(page_texts[ENGLISH].backup_notice) + COPY_FOLDER, IDOK);
        expect_success_and_exit(setup, ENGLISH);
    }
    EXPECT_TRUE(file_exists(folder + L"Pikeharbour64.exe"));
    EXPECT_TRUE(file_exists(public_shortcut()));
    EXPECT_TRUE(machine_key_exists(RECORD_KEY));
    EXPECT_TRUE(machine_key_exists(COMPONENT_KEY));
    EXPECT_FALSE(entry_exists());
    EXPECT_FALSE(file_exists(box.settings_file));

    wchar_t command[1024] = {};
    DWORD bytes = sizeof command;
    ASSERT_EQ(0, RegGetValueW(HKEY_LOCAL_MACHINE, ENTRY_KEY, L"UninstallString", RRF_RT_REG_SZ,
                              nullptr, command, &bytes));
    {
        Running removal;
        ASSERT_TRUE(setup_start_command(removal, command, env));
        control_click(removal, LANGUAGE_NEXT_BUTTON);
        expect_page(removal, MAINTENANCE_PAGE, ENGLISH);
        EXPECT_TRUE(control_checked(removal, REMOVE_OPTION));
        control_click(removal, MAINTENANCE_NEXT_BUTTON);
        expect_box(removal, L"Pikeharbour Setup", page_texts[ENGLISH].confirm_removal, IDYES);
        expect_box(removal, L"Pikeharbour Setup", page_texts[ENGLISH].removal_done, IDOK);
        EXPECT_EQ(setup_wait_exit(removal), 0);
    }
    EXPECT_FALSE(folder_exists(folder));
    EXPECT_FALSE(file_exists(public_shortcut()));
    for (const wchar_t* key : {RECORD_KEY, ENTRY_KEY, COMPONENT_KEY}) {
        EXPECT_FALSE(machine_key_exists(key)) << utf8(key);
    }
    EXPECT_TRUE(copy_gone_or_pending());

    file_put(box.settings_file, "Programverzeichnis = " + low_bytes(folder) + "\r\nlanguage = 1\r\n");
    Running next;
    ASSERT_TRUE(setup_start(next, setup_exe(), env));
    choose_language(next, ENGLISH);
    control_click(next, LANGUAGE_NEXT_BUTTON);
    expect_page(next, AGREEMENT_PAGE, ENGLISH);
}
