// The launcher: relaunches this program as the installer role with
// "-admin", every parameter it got and its own account (/USER=<SID>), so
// that the installer role can tell when it runs as someone else.
#include "installer/launcher/launcher.h"
#include <windows.h>
#include <shellapi.h>
#include <objbase.h>
#include "installer/options.h"
#include "installer/running_product/product_restart.h"
#include "installer/unattended/unattended.h"
#include "process/command_line.h"
#include "process/token_identity.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

// This setup program, started again elevated.
static wchar_t* s_own_path;

// Every parameter the launcher got, after "-admin"; each is quoted when it
// holds a space or is empty, so the elevated copy reads the same values.
static bool append_parameters() {
    bool silent = false;
    int32_t count = program_parameter_count();
    for (int32_t index = 0; index < count; index++) {
        temp_append(L" ");
        int64_t at = temp_position();
        program_parameter(index, at);
        wchar_t* value = temp_address(at);
        silent = silent || options_is_silent_flag(value);
        bool quote = value[0] == 0 || string_find(value, L" ") != 0;
        if (quote) {
            wchar_t* copy = nullptr;
            string_assign_temp(&copy, at);
            temp_append(L"\"");
            temp_append(copy);
            temp_append(L"\"");
            string_free(copy);
        }
    }
    return silent;
}

// The launcher's account goes last, so that it is the one read.
static void append_own_account() {
    wchar_t sid[192];
    if (token_user_sid(sid, 192)) {
        temp_append(L" /USER=");
        temp_append(sid);
    }
}

// The elevated copy's exit code once it has ended; a copy that could not be
// started (the elevation was refused) is a failure, never reported as
// success.
static int64_t elevated_exit_code(bool started, HANDLE process) {
    if (!started || process == nullptr) {
        return EXIT_NOT_STARTED;
    }
    WaitForSingleObject(process, INFINITE);
    DWORD code = EXIT_NOT_STARTED;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// Already elevated (an administrator's full token, LocalSystem in a
// deployment tool): the installer role is started directly, so nothing
// waits on a prompt. Under Wine "runas" starts at once and every token is
// elevated, so only the token tells the two paths apart.
static HANDLE start_directly(const wchar_t* parameters) {
    wchar_t* command = nullptr;
    int64_t at = temp_position();
    temp_append(L"\"");
    temp_append(s_own_path);
    temp_append(L"\" ");
    temp_append(parameters);
    string_assign_temp(&command, at);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(s_own_path, command, nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &startup, &process);
    string_free(command);
    if (!started) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The user has just chosen to start this file: the shell must not ask
// again about its download zone before the elevation prompt. With /S
// nothing may wait for a person: no error box from the shell either.
static HANDLE start_elevated(const wchar_t* parameters, bool silent) {
    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOZONECHECKS | SEE_MASK_NOCLOSEPROCESS;
    if (silent) {
        info.fMask |= SEE_MASK_FLAG_NO_UI;
    }
    info.lpVerb = L"runas";
    // The shell may hand the launch to its extensions, which need COM.
    CoInitialize(nullptr);
    info.lpFile = s_own_path;
    info.lpParameters = parameters;
    info.nShow = SW_SHOW;
    if (!ShellExecuteExW(&info)) {
        return nullptr;
    }
    return info.hProcess;
}

// Waits for the installer role and ends with its exit code with /S (for
// deployment tools), else with 0: a refused prompt ends the launcher the
// same way as a finished setup.
void run_launcher() {
    int64_t saved = temp_position();
    program_file_name(saved);
    string_assign_temp(&s_own_path, saved);
    wchar_t* parameters = nullptr;
    saved = temp_position();
    temp_append(L"-admin");
    bool silent = append_parameters();
    append_own_account();
    string_assign_temp(&parameters, saved);
    HANDLE process = token_is_elevated() || token_is_service_account()
                         ? start_directly(parameters)
                         : start_elevated(parameters, silent);
    HANDLE restart = process != nullptr ? product_restart_watch(process) : nullptr;
    int64_t code = elevated_exit_code(process != nullptr, process);
    launcher_after_elevated_copy();
    product_restart_after(restart, code);
    g_runtime.exit_code = silent ? code : 0;
    string_free(parameters);
    runtime_end();
}
