// The unattended tests' shared sandbox and setup runner.
#include "unattended_support.h"
#include "support/child_process.h"
#include <windows.h>
#include <fstream>
#include <vector>
#include "sandbox_files.h"

const std::wstring ROOT = L"C:\\ph_unattended";
const std::wstring APPDATA = ROOT + L"\\AppData";
const std::wstring PROGRAM_FILES = L"C:\\Program Files";
const std::wstring TEMP = ROOT + L"\\Temp";

std::wstring setup_exe() {
    return unix_to_windows(PH_SETUP_EXE);
}

std::wstring desktop_link() {
    return env_value(L"USERPROFILE") + L"\\Desktop\\PikeHarbour.LNK";
}

std::wstring settings_file() {
    return APPDATA + L"\\PikeHarbour\\PikeHarbour.ini";
}

long run_setup(const std::wstring& exe, const std::wstring& parameters,
               const wchar_t* directory, const std::wstring& appdata) {
    return run_command(exe.c_str(), L"\"" + exe + L"\" " + parameters, directory, appdata);
}

// Runs as `token` when it is given, else with this process's token.
static long run_as(HANDLE token, const wchar_t* exe, const std::wstring& command,
                   const wchar_t* directory, const std::wstring& appdata) {
    std::vector<wchar_t> environment =
        environment_block({{L"APPDATA", appdata.c_str()}, {L"TEMP", TEMP.c_str()}});
    ChildOptions options;
    options.application = exe;
    options.directory = directory;
    options.environment = &environment;
    options.token = token;
    return static_cast<long>(
        child_run(command, options, 60000, static_cast<DWORD>(-1), static_cast<DWORD>(-2)));
}

long run_command(const wchar_t* exe, const std::wstring& command, const wchar_t* directory,
                 const std::wstring& appdata) {
    return run_as(nullptr, exe, command, directory, appdata);
}

long run_setup_limited(const std::wstring& exe, const std::wstring& parameters) {
    HANDLE own = nullptr;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    HANDLE primary = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own) ||
        !GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size) ||
        !DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation,
                          TokenPrimary, &primary)) {
        return -2;
    }
    long code = run_as(primary, exe.c_str(), L"\"" + exe + L"\" " + parameters, nullptr, APPDATA);
    CloseHandle(primary);
    CloseHandle(linked.LinkedToken);
    CloseHandle(own);
    return code;
}

std::string product_bytes() {
    std::ifstream list(PH_EMBEDDED_FILES);
    std::string product;
    std::getline(list, product);
    return file_bytes(unix_to_windows(product));
}

testing::AssertionResult same_bytes(const std::string& expected, const std::string& actual) {
    if (expected == actual) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "expected " << expected.size() << " bytes, got "
                                       << actual.size() << " differing bytes";
}

std::string log_text() {
    return file_bytes(TEMP + L"\\PikeHarbour_Setup.log");
}

void Unattended::SetUp() {
    folder_remove(ROOT);
    folder_make(APPDATA);
    folder_remove(PROGRAM_FILES + L"\\PikeHarbour");
    folder_make(TEMP);
    DeleteFileW(desktop_link().c_str());
}

bool uninstall_entry_exists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PikeHarbour", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}
