// The all-users installation end to end under Wine, unattended: where its
// files and keys go, the per-user step as Active Setup runs it, maintenance
// and removal, the choice of the kind, and a setup-copy folder that a user
// made first. Wine runs every process as one user and is never LocalSystem;
// the choice over those facts is the table in install_scope_test.cpp.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>
#include <string>
#include "sandbox_files.h"
#include "unattended_support.h"

namespace {

const wchar_t RECORD_KEY[] = L"Software\\PikeHarbour";
const wchar_t ENTRY_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PikeHarbour";
const wchar_t COMPONENT_KEY[] =
    L"Software\\Microsoft\\Active Setup\\Installed Components\\PikeHarbour";

// Spelled out: the shared names of unattended_support.cpp are not yet made
// while this file's constants are.
const std::wstring FOLDER = L"C:\\Program Files\\PikeHarbour\\";
const std::wstring COPY_FOLDER = FOLDER + L"SetupBackup";
const std::wstring COPY = COPY_FOLDER + L"\\PikeHarbour_Setup.exe";
const std::wstring OTHER_APPDATA = L"C:\\ph_unattended\\Other\\AppData";

std::wstring public_link() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, nullptr, 0, path);
    return std::wstring(path) + L"\\PikeHarbour.LNK";
}

std::wstring reg_text(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD bytes = sizeof value;
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value,
                     &bytes) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return value;
}

bool key_exists(HKEY root, const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

void forget_all_users() {
    for (const wchar_t* key : {RECORD_KEY, ENTRY_KEY, COMPONENT_KEY}) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
    }
    RegDeleteKeyExW(HKEY_CURRENT_USER, ENTRY_KEY, KEY_WOW64_64KEY, 0);
    DeleteFileW(public_link().c_str());
    folder_remove(PROGRAM_FILES + L"\\PikeHarbour");
    folder_remove(env_value(L"USERPROFILE") + L"\\PikeHarbour");
}

std::string settings_for(const std::wstring& folder, int language) {
    return "Programverzeichnis = " + low_bytes(folder) + "\r\nlanguage = " +
           std::to_string(language) + "\r\n";
}

bool log_has(const std::string& text) {
    return log_text().find(text) != std::string::npos;
}

// Every file and key where the all-users layout puts it, nothing in the
// per-user places.
void expect_all_users_layout(const std::wstring& folder) {
    EXPECT_TRUE(same_bytes(product_bytes(), file_bytes(folder + L"Pikeharbour64.exe")));
    ShortcutFields link = shortcut_read(public_link());
    EXPECT_EQ(0, _wcsicmp((folder + L"PikeHarbour64.exe").c_str(), link.target.c_str()));
    EXPECT_EQ(utf8(folder), utf8(reg_text(HKEY_LOCAL_MACHINE, RECORD_KEY, L"InstallFolder")));
    EXPECT_EQ(utf8(L"\"" + COPY + L"\" /S /REMOVE"),
              utf8(reg_text(HKEY_LOCAL_MACHINE, ENTRY_KEY, L"QuietUninstallString")));
    EXPECT_EQ(utf8(folder), utf8(reg_text(HKEY_LOCAL_MACHINE, ENTRY_KEY, L"InstallLocation")));
    EXPECT_EQ(utf8(L"\"" + COPY + L"\" -peruser"),
              utf8(reg_text(HKEY_LOCAL_MACHINE, COMPONENT_KEY, L"StubPath")));
    EXPECT_EQ("3,0,0,0", utf8(reg_text(HKEY_LOCAL_MACHINE, COMPONENT_KEY, L"Version")));
    EXPECT_TRUE(same_bytes(file_bytes(setup_exe()), file_bytes(COPY)));
    EXPECT_FALSE(file_exists(settings_file()));
    EXPECT_FALSE(file_exists(desktop_link()));
    EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, ENTRY_KEY));
    EXPECT_FALSE(folder_exists(env_value(L"USERPROFILE") + L"\\PikeHarbour"));
}

void expect_nothing_of_ours() {
    EXPECT_FALSE(folder_exists(PROGRAM_FILES + L"\\PikeHarbour"));
    EXPECT_FALSE(file_exists(public_link()));
    for (const wchar_t* key : {RECORD_KEY, ENTRY_KEY, COMPONENT_KEY}) {
        EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, key)) << utf8(key);
    }
}

class AllUsers : public Unattended {
protected:
    void SetUp() override {
        Unattended::SetUp();
        forget_all_users();
    }
    void TearDown() override { forget_all_users(); }
};

}  // namespace

// Install, the per-user step exactly as registered, a second run, the
// other kind refused, removal, and no installation left for a user whose
// settings file stays behind.
TEST_F(AllUsers, InstallPerUserStepMaintenanceAndRemoval) {
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /ALLUSERS"));
    EXPECT_TRUE(log_has("Installation for: all users\r\n"));
    expect_all_users_layout(FOLDER);

    // Another profile gets its settings file; an existing one is kept.
    std::wstring stub = reg_text(HKEY_LOCAL_MACHINE, COMPONENT_KEY, L"StubPath");
    std::wstring other_settings = OTHER_APPDATA + L"\\PikeHarbour\\PikeHarbour.ini";
    folder_make(OTHER_APPDATA);
    EXPECT_EQ(0, run_command(nullptr, stub, nullptr, OTHER_APPDATA));
    EXPECT_EQ(settings_for(FOLDER, 1), file_bytes(other_settings));
    file_put(settings_file(), "Programverzeichnis = C:\\Mine\\\r\n");
    EXPECT_EQ(0, run_command(nullptr, stub));
    EXPECT_EQ("Programverzeichnis = C:\\Mine\\\r\n", file_bytes(settings_file()));
    DeleteFileW(settings_file().c_str());
    // Only a broken profile fails the step: Windows does not run it again.
    EXPECT_EQ(1, run_command(nullptr, stub, nullptr, L""));

    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /LANG=de"));
    EXPECT_TRUE(log_has("Installation for: all users\r\n"));
    expect_all_users_layout(FOLDER);
    EXPECT_EQ(10, run_setup(setup_exe(), L"-admin /S /CURRENTUSER"));
    EXPECT_TRUE(log_has("Exit code: 10\r\n"));

    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /REMOVE"));
    expect_nothing_of_ours();
    EXPECT_EQ(settings_for(FOLDER, 1), file_bytes(other_settings));
    EXPECT_EQ(0, run_setup(setup_exe(), L"-peruser"));
    EXPECT_FALSE(file_exists(settings_file()));
    // That user's next setup is a new installation (a reinstall would have
    // kept the old language line).
    std::wstring target = ROOT + L"\\Own\\";
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /LANG=de /D=" + target, nullptr, OTHER_APPDATA));
    EXPECT_TRUE(log_has("Installation for: the current user\r\n"));
    EXPECT_EQ(settings_for(target, 0), file_bytes(other_settings));
    EXPECT_EQ(0, run_setup(setup_exe(), L"-admin /S /REMOVE", nullptr, OTHER_APPDATA));
}

// An installer role that runs as another account than the launcher's
// installs for all users; /ALLUSERS while the user's own installation
// exists is refused and changes nothing.
TEST_F(AllUsers, ForeignLauncherAccountAndOwnInstallation) {
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /USER=S-1-5-21-7-7-7-1001"));
    expect_all_users_layout(FOLDER);
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /REMOVE"));
    expect_nothing_of_ours();

    EXPECT_EQ(5, run_setup(setup_exe(), L"-admin /S /USER=nobody"));
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /CURRENTUSER"));
    EXPECT_EQ(settings_for(FOLDER, 1), file_bytes(settings_file()));
    EXPECT_EQ(10, run_setup(setup_exe(), L"-admin /S /ALLUSERS"));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, RECORD_KEY));
    EXPECT_FALSE(file_exists(public_link()));
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /REMOVE"));
}

// The launcher (here already elevated, so it starts the installer role
// itself) writes its own user's settings file once the elevated copy ended.
TEST_F(AllUsers, LauncherWritesItsUsersSettingsAfterwards) {
    ASSERT_EQ(0, run_setup(setup_exe(), L"/S /ALLUSERS"));
    EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, RECORD_KEY));
    EXPECT_EQ(settings_for(FOLDER, 1), file_bytes(settings_file()));
    ASSERT_EQ(0, run_setup(setup_exe(), L"/S /REMOVE"));
    expect_nothing_of_ours();
    EXPECT_FALSE(file_exists(settings_file()));
}

// A user who made the copy's folder first keeps rights over it: the
// install is refused before anything is written.
TEST_F(AllUsers, CopyFolderMadeByAUserIsRefused) {
    folder_make(COPY_FOLDER);
    EXPECT_EQ(3, run_setup(setup_exe(), L"-admin /S /ALLUSERS"));
    EXPECT_TRUE(log_has("Setup copy folder: refused\r\n"));
    EXPECT_FALSE(file_exists(FOLDER + L"Pikeharbour64.exe"));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, RECORD_KEY));
    EXPECT_FALSE(file_exists(public_link()));
}

// Owner and protected access list as read back. Wine accepts them but
// keeps no security descriptor on files: it reports one made from the
// Unix mode, owned by the one user it runs everything as.
TEST_F(AllUsers, CopyFolderOwnerAndAccessList) {
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /ALLUSERS"));
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, GetNamedSecurityInfoW(COPY_FOLDER.c_str(), SE_FILE_OBJECT,
                                                   OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                                   &owner, nullptr, &dacl, nullptr, &descriptor));
    bool stored = IsWellKnownSid(owner, WinBuiltinAdministratorsSid);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    ULONG count = dacl != nullptr ? dacl->AceCount : 0;
    LocalFree(descriptor);
    if (!stored && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
        GTEST_SKIP() << "Wine keeps no owner or access list on files";
    }
    EXPECT_TRUE(stored);
    EXPECT_NE(0, control & SE_DACL_PROTECTED);
    EXPECT_EQ(3u, count);
}
