// The installer's main program: chooses the launcher or the installer role
// from the first command-line parameter.
#include <windows.h>
#include <shellapi.h>
#include <objbase.h>
#include "installer/dialogs.h"
#include "installer/integrity.h"
#include "installer/single_instance.h"
#include "installer/state.h"
#include "installer/unattended.h"
#include "installer/unattended_log.h"
#include "process/command_line.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

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
        silent = silent || unattended_is_silent_flag(value);
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

// The elevated copy's exit code; a copy that could not be started (the
// elevation was refused) is a failure, never reported as success.
static int64_t elevated_exit_code(BOOL started, HANDLE process) {
    if (!started || process == nullptr) {
        return EXIT_NOT_STARTED;
    }
    WaitForSingleObject(process, INFINITE);
    DWORD code = EXIT_NOT_STARTED;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// Started by the user: start an elevated copy with "-admin" and end. The
// result of the relaunch is not examined: a refused prompt ends the
// launcher the same way as a successful start. With /S the launcher waits
// for the elevated copy and ends with its exit code, for deployment tools.
[[noreturn]] static void run_launcher() {
    int64_t saved = temp_position();
    program_file_name(saved);
    string_assign_temp(&g_installer.own_path, saved);
    wchar_t* parameters = nullptr;
    saved = temp_position();
    temp_append(L"-admin");
    bool silent = append_parameters();
    string_assign_temp(&parameters, saved);

    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    // The user has just chosen to start this file: the shell must not ask
    // again about its download zone before the elevation prompt. With /S
    // nothing may wait for a person: no error box from the shell either.
    info.fMask = SEE_MASK_NOZONECHECKS;
    if (silent) {
        info.fMask |= SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    }
    info.lpVerb = L"runas";
    // The shell may hand the launch to its extensions, which need COM.
    CoInitialize(nullptr);
    info.lpFile = g_installer.own_path;
    info.lpParameters = parameters;
    info.nShow = SW_SHOW;
    BOOL started = ShellExecuteExW(&info);
    if (silent) {
        g_runtime.exit_code = elevated_exit_code(started, info.hProcess);
    }
    if (!silent) {
        delay_ms(500);
    }
    string_free(parameters);
    runtime_end();
}

// Ends the installer role before its window or procedure: unattended runs
// log the reason and the exit code; the interactive installer ends with 0.
[[noreturn]] static void end_installer_role(const wchar_t* step, const wchar_t* result,
                                            int32_t code) {
    if (!g_installer.unattended) {
        installer_exit();
    }
    installer_log(step, result);
    unattended_finish(code);
}

// The elevated copy: parameters, the log, one setup at a time, then the
// payload check, then the window or the unattended procedure. Every
// unattended run replaces the log, so a refused run never leaves the
// previous run's result in it.
[[noreturn]] static void run_installer_role() {
    bool valid = unattended_parse();
    if (g_installer.unattended) {
        unattended_log_open();
    } else {
        runtime_start_windows();
    }
    if (!valid) {
        end_installer_role(L"Parameters", L"unknown or malformed", EXIT_BAD_PARAMETER);
    }
    if (!single_instance_take()) {
        if (!g_installer.unattended) {
            single_instance_show_other();
        }
        end_installer_role(L"Another setup", L"is running", EXIT_ANOTHER_SETUP);
    }
    if (!product_block_intact()) {
        if (!g_installer.unattended) {
            report_damaged_setup();
        }
        end_installer_role(L"Setup program", L"damaged", EXIT_DAMAGED_SETUP);
    }
    if (g_installer.unattended) {
        run_unattended();
    }
    run_installer_window();
    installer_exit();
}

// Links made by a non-administrator (junctions, mount points) are not
// followed by this process where Windows offers the mitigation. Older
// Windows and Wine 8 have no such policy or no such call: that failure is
// ignored. The call is looked up, so the setup still starts where
// kernel32 lacks it.
static void refuse_untrusted_links() {
    typedef BOOL(WINAPI * SetPolicy)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    SetPolicy set_policy = kernel == nullptr ? nullptr
        : reinterpret_cast<SetPolicy>(GetProcAddress(kernel, "SetProcessMitigationPolicy"));
    if (set_policy == nullptr) {
        return;
    }
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy = {};
    policy.EnforceRedirectionTrust = 1;
    set_policy(ProcessRedirectionTrustPolicy, &policy, sizeof policy);
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    refuse_untrusted_links();
    // The setup runs elevated, usually from a downloads folder: never load a
    // library planted beside it.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The window steps follow only for the interactive installer: the
    // launcher and the unattended installer show no window.
    runtime_start_without_windows();

    int64_t saved = temp_position();
    program_parameter(0, saved);
    int installer_role = string_equal(temp_address(saved), L"-admin");
    temp_set_position(saved);

    if (!installer_role) {
        run_launcher();
    }
    run_installer_role();
}
