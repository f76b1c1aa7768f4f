// Unattended installation and removal: the interactive procedures with
// their questions answered by default, a log, and exit codes.
#include "installer/unattended/unattended.h"
#include "files/files.h"
#include "installer/dialogs.h"
#include "installer/handlers.h"
#include "installer/all_users/install_scope.h"
#include "installer/state.h"
#include "installer/text.h"
#include "process/command_line.h"
#include "process/launch.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

static bool starts_with(const wchar_t* lower, const wchar_t* prefix, int64_t* rest_at) {
    int64_t length = string_length(prefix);
    if (string_length(lower) < length) {
        return false;
    }
    int64_t saved = temp_position();
    string_left(lower, length, saved);
    bool equal = string_equal(temp_address(saved), prefix);
    temp_set_position(saved);
    *rest_at = length;
    return equal;
}

static bool take_language(const wchar_t* value) {
    if (string_equal(value, L"de")) {
        g_installer.unattended_language = 0;
        return true;
    }
    if (string_equal(value, L"en")) {
        g_installer.unattended_language = 1;
        return true;
    }
    return false;
}

bool unattended_is_silent_flag(const wchar_t* parameter) {
    return _wcsicmp(parameter != nullptr ? parameter : L"", L"/s") == 0;
}

// One parameter; names in any case, the /D= value as given.
static bool take_parameter(const wchar_t* parameter) {
    wchar_t* lower = nullptr;
    int64_t saved = temp_position();
    string_lower(parameter, saved);
    string_assign_temp(&lower, saved);
    int64_t rest = 0;
    bool known = true;
    if (unattended_is_silent_flag(parameter)) {
        g_installer.unattended = 1;
    } else if (string_equal(lower, L"/remove")) {
        g_installer.unattended_remove = 1;
    } else if (string_equal(lower, L"/allowdowngrade")) {
        g_installer.allow_downgrade = 1;
    } else if (string_equal(lower, L"/closeapplications")) {
        g_installer.close_applications = 1;
    } else if (starts_with(lower, L"/d=", &rest) && string_length(parameter) > rest) {
        saved = temp_position();
        string_right(parameter, string_length(parameter) - rest, saved);
        string_assign_temp(&g_installer.unattended_target, saved);
    } else if (starts_with(lower, L"/log=", &rest) && string_length(parameter) > rest) {
        saved = temp_position();
        string_right(parameter, string_length(parameter) - rest, saved);
        string_assign_temp(&g_installer.unattended_log, saved);
    } else if (starts_with(lower, L"/lang=", &rest)) {
        known = take_language(lower + rest);
    } else if (install_scope_take_parameter(parameter, &known)) {
        // /ALLUSERS, /CURRENTUSER, /USER=: also read without /S.
    } else {
        known = false;
    }
    string_free(lower);
    return known;
}

bool unattended_parse() {
    g_installer.unattended_language = -2;
    int32_t count = program_parameter_count();
    bool valid = true;
    for (int32_t index = 1; index < count; index++) {
        int64_t saved = temp_position();
        program_parameter(index, saved);
        wchar_t* parameter = nullptr;
        string_assign_temp(&parameter, saved);
        valid = take_parameter(parameter) && valid;
        string_free(parameter);
    }
    // Without /S the interactive installer runs as always and ignores what
    // follows "-admin", but for /REMOVE, which selects removal.
    if (!g_installer.unattended) {
        g_installer.remove_requested = g_installer.unattended_remove;
        g_installer.unattended_remove = 0;
        g_installer.allow_downgrade = 0;
        g_installer.close_applications = 0;
        g_installer.unattended_language = -2;
        string_assign(&g_installer.unattended_target, nullptr);
        string_assign(&g_installer.unattended_log, nullptr);
        return true;
    }
    return valid;
}

void unattended_finish(int32_t code) {
    int64_t saved = temp_position();
    string_from_integer(code, saved);
    installer_log(L"Exit code", temp_argument(saved));
    temp_set_position(saved);
    g_runtime.exit_code = code;
    installer_exit();
}

static int32_t exit_code_of(InstallOutcome outcome) {
    if (outcome == INSTALL_NO_FOLDER) {
        return EXIT_FOLDER_FAILED;
    }
    if (outcome == INSTALL_WRITE_FAILED) {
        return EXIT_WRITE_FAILED;
    }
    if (outcome == INSTALL_IN_USE) {
        return EXIT_PRODUCT_IN_USE;
    }
    if (outcome == INSTALL_NOT_RECORDED) {
        return EXIT_NOT_RECORDED;
    }
    if (outcome == INSTALL_SETTINGS_UNUSABLE) {
        return EXIT_SETTINGS_UNUSABLE;
    }
    if (outcome == INSTALL_NEWER_INSTALLED) {
        return EXIT_NEWER_INSTALLED;
    }
    return EXIT_SUCCESS_CODE;
}

// The log is already open: main opens it before the checks that may end
// the run.
void run_unattended() {
    installer_log(L"PikeHarbour Setup", g_installer.unattended_remove ? L"unattended removal"
                                                                      : L"unattended install");
    string_assign(&g_installer.install_folder, L"");
    string_assign(&g_installer.backup_folder, L"");
    g_installer.language = -1;
    locate_installation();
    if (g_installer.unattended_language != -2) {
        g_installer.language = g_installer.unattended_language;
    } else if (g_installer.language == -1) {
        g_installer.language = 1;
    }
    if (g_installer.unattended_remove) {
        int32_t code = remove_run();
        if (code == EXIT_PRODUCT_IN_USE) {
            report_product_in_use(true);
        }
        if (code == EXIT_SUCCESS_CODE) {
            installer_log(L"Removal", L"done");
        }
        unattended_finish(code);
    }
    InstallOutcome outcome = install_run();
    if (outcome == INSTALL_DONE) {
        install_report_success();
    }
    unattended_finish(exit_code_of(outcome));
}
