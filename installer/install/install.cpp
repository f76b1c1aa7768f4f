// The install button: confirmation, safety copy, folder chain, product
// executable, desktop shortcut, settings file, success message and end.
#include "files/files.h"
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users/all_users.h"
#include "installer/running_product/close_product.h"
#include "installer/install/create_path.h"
#include "installer/dialogs.h"
#include "installer/error_text.h"
#include "installer/handlers.h"
#include "installer/all_users/install_scope.h"
#include "installer/integrity/integrity.h"
#include "installer/path_rules.h"
#include "installer/running_product/product_restart.h"
#include "installer/install/product_file.h"
#include "installer/product_identity.h"
#include "installer/settings_file.h"
#include "installer/install/shortcut.h"
#include "installer/state.h"
#include "installer/text.h"
#include "installer/unattended/unattended.h"
#include "installer/install/uninstall_entry.h"
#include "installer/install/version_check.h"
#include "process/command_line.h"
#include "process/launch.h"
#include "resources/embedded.h"
#include "runtime/lists.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"

static const wchar_t SETUP_TITLE[] = L"Pikeharbour Setup";
static const wchar_t ERROR_TITLE[] = L"PikeHarbour Setup Error";
// The install folder with its backslash: Windows' limit for a file path
// without the long-path opt-in (MAX_PATH - 1 characters) less the
// product's name, whatever Wine would accept.
static const int64_t FOLDER_PATH_LIMIT = MAX_PATH - 1 - 17;

static void assign_own_path(wchar_t** variable) {
    int64_t saved = temp_position();
    program_file_name(saved);
    string_assign_temp(variable, saved);
}

// The setup program is copied only when it runs under its own name and not
// from the backup folder itself.
static bool safety_copy_needed(const wchar_t* own) {
    wchar_t* name = nullptr;
    wchar_t* own_folder = nullptr;
    wchar_t* backup = nullptr;
    int64_t saved = temp_position();
    string_right(own, 21, saved);
    string_lower(temp_address(saved), saved);
    string_assign_temp(&name, saved);
    saved = temp_position();
    path_directory_part(own, saved);
    string_lower(temp_address(saved), saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(&own_folder, saved);
    saved = temp_position();
    string_lower(g_installer.backup_folder, saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(&backup, saved);
    bool needed = string_equal(name, L"pikeharbour_setup.exe") && !string_equal(own_folder, backup);
    string_free(name);
    string_free(own_folder);
    string_free(backup);
    return needed;
}

// The Apps & features entry starts the safety copy: it names only a copy
// that this run wrote, or this very setup running from the backup folder.
static bool s_copy_ready;

// The profile's SetupBackup folder of a per-user installation. A failure
// is told and the installation goes on, without an Apps & features entry.
static bool make_profile_backup_folder() {
    wchar_t* home = nullptr;
    int64_t saved = temp_position();
    home_directory(saved);
    string_assign_temp(&home, saved);
    bool made = create_path(home, L"PikeHarbour\\SetupBackup\\") != 0;
    if (made) {
        text_assign(&g_installer.backup_folder, home, L"PikeHarbour\\SetupBackup\\");
    } else {
        installer_tell(ERROR_TITLE, L"'PikeHarbour_Setup.exe' could not create the Setupdir!");
    }
    string_free(home);
    return made;
}

// False only when the all-users copy's folder is refused: the installation
// does not go on without a copy that users cannot replace.
static bool make_safety_copy() {
    s_copy_ready = false;
    if (install_scope_all_users()) {
        if (!all_users_copy_folder(&g_installer.backup_folder)) {
            return false;
        }
    } else if (!make_profile_backup_folder()) {
        return true;
    }
    wchar_t* own = nullptr;
    assign_own_path(&own);
    if (!safety_copy_needed(own)) {
        BuiltText target = text_join(g_installer.backup_folder, L"PikeHarbour_Setup.exe");
        s_copy_ready = CompareStringOrdinal(own, -1, target.text, -1, TRUE) == CSTR_EQUAL;
        text_release(target);
    } else {
        BuiltText target = text_join(g_installer.backup_folder, L"PikeHarbour_Setup.exe");
        // The profile is the user's: the copy is created new, never written
        // over a link put at its name.
        int64_t copied = file_copy_new(own, target.text);
        DWORD error = GetLastError();
        text_release(target);
        s_copy_ready = copied != 0;
        if (copied == 0) {
            error_log(L"Safety copy", g_installer.backup_folder, error);
            BuiltText text = text_join(
                L"'PikeHarbour_Setup.exe' could not create a save copy in '",
                g_installer.backup_folder, L"' !");
            installer_tell(ERROR_TITLE, text.text);
            text_release(text);
        }
    }
    string_free(own);
    return true;
}

static void show_backup_notice() {
    if (!s_copy_ready) {
        return;
    }
    BuiltText text = text_join(
        text_pick(L"Eine Sicherheitskopie dieses Setupproramms wird in diesem Verzeichnis "
                  L"gespeichert:\n\n",
                  L"A safety copy of this Setupfile is saved in the Folder:\n\n"),
        g_installer.backup_folder);
    installer_tell(SETUP_TITLE, text.text);
    text_release(text);
}

// install_folder = the path field's text, trimmed, ending in one
// backslash when it is longer than two characters: list-quoting tools turn
// "/D=C:\Apps\x\" into a value ending in two.
static void take_target_folder() {
    int64_t saved = temp_position();
    target_folder_text(saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(&g_installer.install_folder, saved);
    wchar_t* folder = g_installer.install_folder;
    int64_t length = string_length(folder);
    while (length > 3 && folder[length - 1] == L'\\' && folder[length - 2] == L'\\') {
        folder[--length] = 0;
    }
    if (string_length(folder) > 2 && text_last(folder) != L'\\') {
        text_assign(&g_installer.install_folder, folder, L"\\");
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
    error_report(L"Product", path, g_installer.install_folder, error);
    return INSTALL_WRITE_FAILED;
}

// The settings file is written under another name and renamed over the old
// one only when complete, so a failed write leaves the old record as it
// was. %APPDATA% is the user's: the new name is created new, and the
// rename replaces whatever is at the name (a link included), never writes
// through it. ERROR_SUCCESS or the failed step's error.
static DWORD write_settings_file(const Settings* old) {
    wchar_t* appdata = nullptr;
    int64_t saved = temp_position();
    env_get(L"APPDATA", saved);
    string_assign_temp(&appdata, saved);
    BuiltText base = text_join(appdata, L"\\");
    int64_t made = string_length(appdata) > 0 ? create_path(base.text, L"PikeHarbour\\") : 0;
    DWORD error = string_length(appdata) > 0 ? GetLastError() : ERROR_ENVVAR_NOT_FOUND;
    text_release(base);
    if (made != 0) {
        text_assign(&g_installer.settings_folder, appdata, L"\\PikeHarbour\\");
        error = settings_replace(g_installer.settings_folder, g_installer.install_folder,
                                 g_installer.language, old);
    }
    string_free(appdata);
    return made != 0 ? error : (error != ERROR_SUCCESS ? error : ERROR_PATH_NOT_FOUND);
}

// A first installation writes the settings file; a reinstall into another
// folder rewrites its folder line (the other lines kept), so that removal
// finds the copy that was installed last. A reinstall into the same folder
// leaves it as it is.
static DWORD record_installation() {
    if (install_scope_all_users()) {
        if (all_users_record_installation(g_installer.install_folder)) {
            return ERROR_SUCCESS;
        }
        DWORD error = GetLastError();
        error_log(L"All-users record", g_installer.install_folder, error);
        return error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED;
    }
    const Settings* old = settings_current();
    bool moved = string_length(old->folder) == 0 ||
                 !product_file_same(old->folder, g_installer.install_folder);
    if (old->state == SETTINGS_USABLE && !moved && g_installer.installed != 0) {
        return ERROR_SUCCESS;
    }
    // A file that names no installed product is left over (an all-users
    // installation's, or one whose product was deleted): a new one replaces it.
    bool keep = old->state == SETTINGS_USABLE && g_installer.installed != 0;
    DWORD error = write_settings_file(keep ? old : nullptr);
    if (error != ERROR_SUCCESS) {
        BuiltText path = text_join(g_installer.settings_folder, L"PikeHarbour.ini");
        error_log(L"Settings file", path.text, error);
        BuiltText text = text_join(
            text_pick(L"Die Installation konnte nicht in der Einstellungsdatei '",
                      L"The installation could not be recorded in the settings file '"),
            path.text,
            text_pick(L"' festgehalten werden und wurde zurückgenommen.",
                      L"' and was taken back."));
        installer_tell(text_pick(L"Pikeharbour Setup Fehler", L"Pikeharbour Setup Error"),
                       text.text);
        text_release(text);
        text_release(path);
    }
    return error;
}

static void report_folder_failure() {
    BuiltText text = text_join(
        text_pick(L"Der Ordner '", L"The folder '"), g_installer.install_folder,
        text_pick(L"' konnte nicht angelegt werden.\n\nBitte wählen Sie einen anderen Ordner.",
                  L"' could not be created.\n\nPlease choose another folder."));
    installer_tell(SETUP_TITLE, text.text);
    text_release(text);
}

static bool product_already_there() {
    BuiltText path = text_join(g_installer.install_folder, L"Pikeharbour64.exe");
    int64_t size = path_size(path.text);
    text_release(path);
    return size > 0;
}

// After the settings file: the Apps & features entry (only for a safety
// copy of this run) and the shortcut; neither failure undoes the install.
static void finish_installation() {
    if (s_copy_ready) {
        uninstall_entry_write(g_installer.install_folder);
    } else {
        installer_log(L"Apps & features entry", L"not written: no safety copy of this run");
    }
    g_installer.shortcut_made = create_desktop_shortcut(g_installer.install_folder) ? 1 : 0;
    if (!g_installer.shortcut_made) {
        installer_log(L"Desktop shortcut", L"could not be created");
    }
}

// The folders this run made are the deepest `made` of the install folder:
// removed again, deepest first, while empty.
static void remove_made_folders(int64_t made) {
    wchar_t* folder = nullptr;
    string_assign(&folder, g_installer.install_folder);
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
    text_assign(&target, g_installer.install_folder, L"Pikeharbour64.exe");
    if (g_installer.installed != 0) {
        settings_product_folder(&previous);
        if (string_length(previous) > 0) {
            text_assign(&previous, previous, L"Pikeharbour64.exe");
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
    settings_product_folder(&folder);
    if (g_installer.installed != 0 && string_length(folder) > 0) {
        BuiltText path = text_join(folder, L"Pikeharbour64.exe");
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
    BuiltText built = text_join(g_installer.install_folder, L"Pikeharbour64.exe");
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

InstallOutcome install_run() {
    // Before anything is written: a refused downgrade changes nothing.
    if (!version_check_allows_install()) {
        return g_installer.unattended ? INSTALL_NEWER_INSTALLED : INSTALL_REFUSED;
    }
    if (installer_ask(SETUP_TITLE,
                      text_pick(L"'Pikeharbour_Setup.exe' wird Pikeharbour installieren!\n\n"
                                L"Möchten Sie jetzt Pikeharbour installieren?",
                                L"'Pikeharbour_Setup.exe' will install Pikeharbour on your "
                                L"Computer!\n\nDo you want to install Pikeharbour now?"),
                      IDYES) != IDYES) {
        return INSTALL_REFUSED;
    }
    if (settings_current()->state == SETTINGS_UNUSABLE) {
        settings_report_unusable();
        return INSTALL_SETTINGS_UNUSABLE;
    }
    if (!make_safety_copy()) {
        return INSTALL_NO_FOLDER;
    }
    show_backup_notice();
    take_target_folder();
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
    PathVerdict verdict = path_rules_check(g_installer.install_folder, FOLDER_PATH_LIMIT);
    if (verdict != PATH_PLAIN) {
        installer_log(L"Folder", path_rules_reason(verdict));
        report_folder_failure();
        return INSTALL_NO_FOLDER;
    }
    int64_t made = create_path(L"", g_installer.install_folder);
    if (made == 0 || (install_scope_all_users() &&
                      !all_users_protect_created(g_installer.install_folder, made))) {
        error_log(L"Folder chain", g_installer.install_folder, GetLastError());
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
    if (g_installer.shortcut_made) {
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
        g_installer.install_folder);
    installer_tell(SETUP_TITLE, text.text);
    text_release(text);
}

// Nothing is written, not even the safety copy, before the payload check
// that runs while the pages are up has passed.
void install_product() {
    if (!integrity_wait_for_install()) {
        report_damaged_setup();
        g_runtime.exit_code = EXIT_DAMAGED_SETUP;
        installer_exit();
    }
    if (install_run() != INSTALL_DONE) {
        return;
    }
    install_report_success();
    installer_exit();
}
