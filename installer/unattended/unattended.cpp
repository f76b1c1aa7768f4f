// Unattended installation and removal: the interactive procedures with
// their questions answered by default, a log, and exit codes.
#include "installer/unattended/unattended.h"
#include "installer/dialogs.h"
#include "installer/install/install.h"
#include "installer/options.h"
#include "installer/removal/removal.h"
#include "installer/running_product/close_product.h"
#include "installer/session.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

void unattended_finish(int32_t code) {
    TempScope number;
    string_from_integer(code, number.start);
    installer_log(L"Exit code", number.text());
    g_runtime.exit_code = code;
    installer_exit();
}

static int32_t exit_code_of(InstallOutcome outcome) {
    switch (outcome) {
    case INSTALL_NO_FOLDER: return EXIT_FOLDER_FAILED;
    case INSTALL_WRITE_FAILED: return EXIT_WRITE_FAILED;
    case INSTALL_IN_USE: return EXIT_PRODUCT_IN_USE;
    case INSTALL_NOT_RECORDED: return EXIT_NOT_RECORDED;
    case INSTALL_SETTINGS_UNUSABLE: return EXIT_SETTINGS_UNUSABLE;
    case INSTALL_NEWER_INSTALLED: return EXIT_NEWER_INSTALLED;
    default: return EXIT_SUCCESS_CODE;
    }
}

// /LANG= first, then the recorded language, then English.
static int64_t run_language() {
    if (g_options.language != -2) {
        return g_options.language;
    }
    return g_session.found.language != -1 ? g_session.found.language : 1;
}

// The log is already open: main opens it before the checks that may end
// the run.
void run_unattended() {
    installer_log(L"PikeHarbour Setup", g_options.remove ? L"unattended removal"
                                                         : L"unattended install");
    g_session.found = locate_installation();
    wchar_t* folder = nullptr;
    if (g_options.target != nullptr) {
        string_assign(&folder, g_options.target);
    } else {
        installation_proposed_folder(&g_session.found, &folder);
    }
    RunRequest request = {folder, run_language(), true};
    if (g_options.remove) {
        int32_t code = remove_run(request);
        if (code == EXIT_PRODUCT_IN_USE) {
            report_product_in_use(true);
        }
        if (code == EXIT_SUCCESS_CODE) {
            installer_log(L"Removal", L"done");
        }
        unattended_finish(code);
    }
    InstallOutcome outcome = install_run(request);
    if (outcome == INSTALL_DONE) {
        install_report_success();
    }
    unattended_finish(exit_code_of(outcome));
}
