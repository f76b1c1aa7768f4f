// The install button: confirmation, safety copy, folder chain, product
// executable, desktop shortcut, settings file, success message and end.
#include "installer/install/install.h"
#include "files/files.h"
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users/all_users.h"
#include "installer/all_users/install_scope.h"
#include "installer/dialogs.h"
#include "installer/error_text.h"
#include "installer/install/apps_features_entry.h"
#include "installer/install/create_path.h"
#include "installer/install/product_file.h"
#include "installer/install/safety_copy.h"
#include "installer/install/shortcut.h"
#include "installer/install/version_check.h"
#include "installer/integrity/integrity.h"
#include "installer/names.h"
#include "installer/path_rules.h"
#include "installer/product_identity.h"
#include "installer/running_product/close_product.h"
#include "installer/running_product/product_restart.h"
#include "installer/session.h"
#include "installer/settings_file.h"
#include "installer/text.h"
#include "installer/unattended/unattended.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

static const wchar_t SETUP_TITLE[] = L"Pikeharbour Setup";

// install_folder = the folder asked for, trimmed, ending in one
// backslash when it is longer than two characters: list-quoting tools turn
// "/D=C:\Apps\x\" into a value ending in two.
static void take_target_folder(const wchar_t* asked) {
    int64_t saved = temp_position();
    string_trim(asked, saved);
    string_assign_temp(&g_session.install_folder, saved);
    wchar_t* folder = g_session.install_folder;
    int64_t length = string_length(folder);
    while (length > 3 && folder[length - 1] == L'\\' && folder[length - 2] == L'\\') {
        folder[--length] = 0;
    }
    if (string_length(folder) > 2 && text_last(folder) != L'\\') {
        text_assign(&g_session.install_folder, folder, L"\\");
    }
}

// The product file could not be written: "in use" for a sharing or lock
// violation, the message that fits the error otherwise.
static InstallOutcome write_failure(const wchar_t* path, DWORD error) {
    if (product_error_in_use(error)) {
        error_log(L"Product", path, error);
        report_product_in_use(false);
        return INSTALL_IN_USE;
    }
    error_report(L"Product", path, g_session.install_folder, error);
    return INSTALL_WRITE_FAILED;
}

static void report_not_recorded(const wchar_t* settings_folder, DWORD error) {
    BuiltText path = text_join(settings_folder, SETTINGS_FILE);
    error_log(L"Settings file", path.text, error);
    BuiltText text = text_join(
        text_pick(L"Die Installation konnte nicht in der Einstellungsdatei '",
                  L"The installation could not be recorded in the settings file '"),
        path.text,
        text_pick(L"' festgehalten werden und wurde zurückgenommen.",
                  L"' and was taken back."));
    installer_tell(text_pick(L"Pikeharbour Setup Fehler", L"Pikeharbour Setup Error"), text.text);
    text_release(text);
    text_release(path);
}

// A first installation writes the settings file; a reinstall into another
// folder rewrites its folder line (the other lines kept), so that removal
// finds the copy that was installed last. A reinstall into the same folder
// leaves it as it is.
static DWORD record_installation() {
    if (install_scope_all_users()) {
        if (all_users_record_installation(g_session.install_folder)) {
            return ERROR_SUCCESS;
        }
        DWORD error = GetLastError();
        error_log(L"All-users record", g_session.install_folder, error);
        return error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED;
    }
    const Settings* old = &g_session.found.settings;
    bool moved = string_length(old->folder) == 0 ||
                 !product_file_same(old->folder, g_session.install_folder);
    if (old->state == SETTINGS_USABLE && !moved && g_session.found.installed) {
        return ERROR_SUCCESS;
    }
    // A file that names no installed product is left over (an all-users
    // installation's, or one whose product was deleted): a new one replaces it.
    bool keep = old->state == SETTINGS_USABLE && g_session.found.installed;
    wchar_t* settings_folder = nullptr;
    DWORD error = settings_write_installation(g_session.install_folder, g_session.language,
                                              keep ? old : nullptr, &settings_folder);
    if (error != ERROR_SUCCESS) {
        report_not_recorded(settings_folder, error);
    }
    string_free(settings_folder);
    return error;
}

static void report_folder_failure() {
    BuiltText text = text_join(
        text_pick(L"Der Ordner '", L"The folder '"), g_session.install_folder,
        text_pick(L"' konnte nicht angelegt werden.\n\nBitte wählen Sie einen anderen Ordner.",
                  L"' could not be created.\n\nPlease choose another folder."));
    installer_tell(SETUP_TITLE, text.text);
    text_release(text);
}

static bool product_already_there() {
    BuiltText path = text_join(g_session.install_folder, PRODUCT_FILE);
    int64_t size = path_size(path.text);
    text_release(path);
    return size > 0;
}

// After the settings file: the Apps & features entry (only for a safety
// copy of this run) and the shortcut; neither failure undoes the install.
static void finish_installation() {
    if (safety_copy_ready()) {
        apps_features_entry_write(g_session.install_folder);
    } else {
        installer_log(L"Apps & features entry", L"not written: no safety copy of this run");
    }
    g_session.shortcut_made = create_desktop_shortcut(g_session.install_folder);
    if (!g_session.shortcut_made) {
        installer_log(L"Desktop shortcut", L"could not be created");
    }
}

// The folders this run made are the deepest `made` of the install folder:
// removed again, deepest first, while empty.
static void remove_made_folders(int64_t made) {
    wchar_t* folder = nullptr;
    string_assign(&folder, g_session.install_folder);
    for (int64_t i = 0; i < made; i++) {
        int64_t length = string_length(folder);
        while (length > 3 && folder[length - 1] == L'\\') {
            folder[--length] = 0;
        }
        RemoveDirectoryW(folder);
        while (length > 3 && folder[length - 1] != L'\\') {
            folder[--length] = 0;
        }
    }
    string_free(folder);
}

// A running product, in the target folder or where the settings file says
// the last installation went, is closed before either copy is touched.
static InstallOutcome close_running_product() {
    wchar_t* target = nullptr;
    wchar_t* previous = nullptr;
    text_assign(&target, g_session.install_folder, PRODUCT_FILE);
    if (g_session.found.installed) {
        installation_product_folder(&g_session.found, &previous);
        if (string_length(previous) > 0) {
            text_assign(&previous, previous, PRODUCT_FILE);
        }
    }
    bool closed = product_close_running(target, previous);
    string_free(target);
    string_free(previous);
    if (!closed) {
        report_product_in_use(false);
        return INSTALL_IN_USE;
    }
    return INSTALL_DONE;
}

// The copy the settings file names, when it is another file than the one
// this run writes (by file identity); null otherwise.
static void previous_copy(const wchar_t* product, wchar_t** previous) {
    string_assign(previous, nullptr);
    wchar_t* folder = nullptr;
    installation_product_folder(&g_session.found, &folder);
    if (g_session.found.installed && string_length(folder) > 0) {
        BuiltText path = text_join(folder, PRODUCT_FILE);
        if (path_size(path.text) >= 0 && !product_file_same(path.text, product)) {
            string_assign(previous, path.text);
        }
        text_release(path);
    }
    string_free(folder);
}

// A previous copy that is running stops the reinstall before anything is
// written: it could not be deleted at the end.
static bool previous_in_use(const wchar_t* previous) {
    if (previous == nullptr) {
        return false;
    }
    HANDLE held = CreateFileW(previous, DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD error = GetLastError();
    if (held != INVALID_HANDLE_VALUE) {
        CloseHandle(held);
        return false;
    }
    if (product_error_in_use(error)) {
        error_log(L"Previous copy", previous, error);
        report_product_in_use(false);
        return true;
    }
    return false;
}

static void delete_previous_copy(const wchar_t* previous) {
    if (previous == nullptr) {
        return;
    }
    DWORD error = ERROR_SUCCESS;
    ProductDelete result = product_delete_if_ours(previous, &error);
    if (result == PRODUCT_NOT_OURS) {
        installer_log(L"Previous copy", L"is not the product and was left");
    } else if (result == PRODUCT_IN_USE || result == PRODUCT_DELETE_FAILED) {
        error_log(L"Previous copy could not be deleted", previous, error);
    }
    installer_log(L"Previous copy", previous);
}

// The new copy is written and verified, then recorded; only then is the
// old one deleted (kept aside when it had the same name, and put back
// when anything fails).
static InstallOutcome write_and_record(int64_t made) {
    BuiltText built = text_join(g_session.install_folder, PRODUCT_FILE);
    wchar_t* product = nullptr;
    string_assign(&product, built.text);
    text_release(built);
    wchar_t* previous = nullptr;
    previous_copy(product, &previous);
    HANDLE aside = nullptr;
    InstallOutcome outcome = INSTALL_IN_USE;
    DWORD error = ERROR_SUCCESS;
    if (!previous_in_use(previous)) {
        error = product_file_set_aside(product, &aside);
        if (error == ERROR_SUCCESS) {
            error = product_file_write(product);
        }
        outcome = error == ERROR_SUCCESS ? INSTALL_DONE : write_failure(product, error);
    }
    if (outcome == INSTALL_DONE && record_installation() != ERROR_SUCCESS) {
        file_delete_no_link(product);
        outcome = INSTALL_NOT_RECORDED;
    }
    if (outcome == INSTALL_DONE) {
        product_file_drop_aside(aside);
        finish_installation();
        delete_previous_copy(previous);
    } else {
        product_file_restore_aside(aside, product);
        remove_made_folders(made);
    }
    string_free(product);
    string_free(previous);
    return outcome;
}

InstallOutcome install_run(const RunRequest& request) {
    session_begin(request);
    // Before anything is written: a refused downgrade changes nothing.
    if (!version_check_allows_install()) {
        return g_session.unattended ? INSTALL_NEWER_INSTALLED : INSTALL_REFUSED;
    }
    if (installer_ask(SETUP_TITLE,
                      text_pick(L"'Pikeharbour_Setup.exe' wird Pikeharbour installieren!\n\n"
                                L"Möchten Sie jetzt Pikeharbour installieren?",
                                L"'Pikeharbour_Setup.exe' will install Pikeharbour on your "
                                L"Computer!\n\nDo you want to install Pikeharbour now?"),
                      IDYES) != IDYES) {
        return INSTALL_REFUSED;
    }
    if (g_session.found.settings.state == SETTINGS_UNUSABLE) {
        settings_report_unusable(g_session.found.settings_folder, &g_session.found.settings);
        return INSTALL_SETTINGS_UNUSABLE;
    }
    if (!safety_copy_make()) {
        return INSTALL_NO_FOLDER;
    }
    safety_copy_show_notice();
    take_target_folder(request.folder);
    // Only Yes writes over the product: Escape and the close box answer
    // IDCANCEL (seen under Wine), which must not count as consent.
    if (product_already_there() &&
        installer_ask(L"Pikeharbour Setup Warning",
                      text_pick(L"Pikeharbour wurde schon installiert!\n\nMöchten Sie "
                                L"Pikeharbour erneut installieren?",
                                L"Pikeharbour was already installed on your computer\n\nDo "
                                L"you want to reinstall Pikeharbour ?"),
                      IDYES) != IDYES) {
        return INSTALL_REFUSED;
    }
    PathVerdict verdict = path_rules_check(g_session.install_folder, PRODUCT_FOLDER_LIMIT);
    if (verdict != PATH_PLAIN) {
        installer_log(L"Folder", path_rules_reason(verdict));
        report_folder_failure();
        return INSTALL_NO_FOLDER;
    }
    int64_t made = create_path(L"", g_session.install_folder);
    if (made == 0 || (install_scope_all_users() &&
                      !all_users_protect_created(g_session.install_folder, made))) {
        error_log(L"Folder chain", g_session.install_folder, GetLastError());
        report_folder_failure();
        return INSTALL_NO_FOLDER;
    }
    made = made < 0 ? 0 : made;
    if (close_running_product() != INSTALL_DONE) {
        remove_made_folders(made);
        return INSTALL_IN_USE;
    }
    InstallOutcome outcome = write_and_record(made);
    if (outcome == INSTALL_DONE) {
        product_restart_signal();
    }
    return outcome;
}

// Without a shortcut that read back intact, the message tells where the
// product is instead of asking for a double click on it.
void install_report_success() {
    if (g_session.shortcut_made) {
        installer_tell(SETUP_TITLE,
                       text_pick(L"Die Installation wurde erfolgreich durchgeführt.\n\nBitte "
                                 L"starten Sie Pikeharbour durch Doppelklick auf der "
                                 L"Desktopverknüpfung!",
                                 L"Pikeharbour insallation successful.\n\nPlease start "
                                 L"Pikeharbour by double click the shortcut on your desktop!"));
        return;
    }
    BuiltText text = text_join(
        text_pick(L"Die Installation wurde erfolgreich durchgeführt.\n\nDie "
                  L"Desktopverknüpfung konnte nicht angelegt werden. Sie finden Pikeharbour "
                  L"in:\n",
                  L"Pikeharbour insallation successful.\n\nThe desktop shortcut could not be "
                  L"created. You find Pikeharbour in:\n"),
        g_session.install_folder);
    installer_tell(SETUP_TITLE, text.text);
    text_release(text);
}

// Nothing is written, not even the safety copy, before the payload check
// that runs while the pages are up has passed.
void install_product(const RunRequest& request) {
    if (!integrity_wait_for_install()) {
        report_damaged_setup();
        g_runtime.exit_code = EXIT_DAMAGED_SETUP;
        installer_exit();
    }
    if (install_run(request) != INSTALL_DONE) {
        return;
    }
    install_report_success();
    installer_exit();
}
