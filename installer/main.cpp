// The installer's main program: chooses the per-user step, the launcher or
// the installer role from the first command-line parameter.
#include <windows.h>
#include "installer/all_users/install_scope.h"
#include "installer/all_users/user_settings_step.h"
#include "installer/dialogs.h"
#include "installer/integrity/integrity.h"
#include "installer/launcher/launcher.h"
#include "installer/options.h"
#include "installer/pages/window.h"
#include "installer/session.h"
#include "installer/single_instance.h"
#include "installer/unattended/unattended.h"
#include "installer/unattended/unattended_log.h"
#include "process/command_line.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"
#include "toolkit/message_box.h"

// Another setup holds the mutex: its window comes to the front, or, where
// none can be found (another session's, or one still starting), the user
// is told.
static void report_another_setup() {
    if (single_instance_show_other()) {
        return;
    }
    message_box(L"PikeHarbour Setup",
                L"Ein anderes Setup von Pikeharbour läuft bereits. Bitte warten Sie, bis es "
                L"beendet ist.\n"
                L"Another Pikeharbour setup is already running. Please wait until it has "
                L"finished.",
                MB_OK);
}

// Ends the installer role before its window or procedure: unattended runs
// log the reason and the exit code; the interactive installer ends with 0.
[[noreturn]] static void end_installer_role(const wchar_t* step, const wchar_t* result,
                                            int32_t code) {
    if (!g_options.unattended) {
        installer_exit();
    }
    installer_log(step, result);
    unattended_finish(code);
}

// The elevated copy: parameters, one setup at a time, the log, then the
// payload check, then the window or the unattended procedure. A run
// refused with 1618 never touches the log the running setup holds (it is
// held without sharing); every other unattended run replaces its log, so
// a refused run never leaves the previous run's result in it. A /LOG=
// file that is refused ends the run before anything else is done.
[[noreturn]] static void run_installer_role() {
    bool valid = options_parse();
    g_session.unattended = g_options.unattended;
    if (!g_options.unattended) {
        runtime_start_windows();
    }
    if (!single_instance_take()) {
        if (!g_options.unattended) {
            report_another_setup();
        } else {
            unattended_log_open();
        }
        end_installer_role(L"Another setup", L"is running", EXIT_ANOTHER_SETUP);
    }
    bool logged = !g_options.unattended || unattended_log_open();
    if (!valid) {
        end_installer_role(L"Parameters", L"unknown or malformed", EXIT_BAD_PARAMETER);
    }
    if (!logged) {
        end_installer_role(L"Log file", L"refused", EXIT_LOG_REFUSED);
    }
    // The window checks the product block on a thread while its pages are
    // up; removal installs nothing from it and never waits for the check.
    if (g_options.unattended && !g_options.remove && !product_block_intact()) {
        end_installer_role(L"Setup program", L"damaged", EXIT_DAMAGED_SETUP);
    }
    if (!install_scope_decide()) {
        install_scope_report_refused();
        g_runtime.exit_code = EXIT_OTHER_SCOPE_INSTALLED;
        end_installer_role(L"Installation", L"refused", EXIT_OTHER_SCOPE_INSTALLED);
    }
    if (g_options.unattended) {
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

    bool installer_role = false;
    {
        TempScope first;
        program_parameter(0, first.start);
        installer_role = string_equal(first.text(), L"-admin");
        // The per-user step (Active Setup at each user's logon) runs as the
        // user, before and without anything the other roles do.
        if (string_equal(first.text(), USER_STEP_PARAMETER)) {
            g_runtime.exit_code = user_settings_step_run();
            runtime_end();
        }
    }

    if (!installer_role) {
        run_launcher();
    }
    run_installer_role();
}
