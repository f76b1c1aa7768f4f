// The install button: confirmation, safety copy, folder chain, product
// executable, desktop shortcut, settings file, success message and end.
#include "files/files.h"
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users.h"
#include "installer/close_product.h"
#include "installer/create_path.h"
#include "installer/dialogs.h"
#include "installer/handlers.h"
#include "installer/install_scope.h"
#include "installer/integrity.h"
#include "installer/product_restart.h"
#include "installer/shortcut.h"
#include "installer/state.h"
#include "installer/text.h"
#include "installer/unattended.h"
#include "installer/uninstall_entry.h"
#include "installer/version_check.h"
#include "process/command_line.h"
#include "process/launch.h"
#include "resources/embedded.h"
#include "runtime/lists.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"

static const wchar_t SETUP_TITLE[] = L"Pikeharbour Setup";
static const wchar_t ERROR_TITLE[] = L"PikeHarbour Setup Error";

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
    if (install_scope_all_users()) {
        if (!all_users_copy_folder(&g_installer.backup_folder)) {
            return false;
        }
    } else if (!make_profile_backup_folder()) {
        return true;
    }
    wchar_t* own = nullptr;
    assign_own_path(&own);
    if (safety_copy_needed(own)) {
        BuiltText target = text_join(g_installer.backup_folder, L"PikeHarbour_Setup.exe");
        // The profile is the user's: the copy is created new, never written
        // over a link put at its name.
        int64_t copied = file_copy_new(own, target.text);
        text_release(target);
        if (copied == 0) {
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
    BuiltText text = text_join(
        text_pick(L"Eine Sicherheitskopie dieses Setupproramms wird in diesem Verzeichnis "
                  L"gespeichert:\n\n",
                  L"A safety copy of this Setupfile is saved in the Folder:\n\n"),
        g_installer.backup_folder);
    installer_tell(SETUP_TITLE, text.text);
    text_release(text);
}

// install_folder = the path field's text, trimmed, with a backslash added
// when it is longer than two characters.
static void take_target_folder() {
    int64_t saved = temp_position();
    target_folder_text(saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(&g_installer.install_folder, saved);
    wchar_t* folder = g_installer.install_folder;
    if (string_length(folder) > 2 && text_last(folder) != L'\\') {
        text_assign(&g_installer.install_folder, folder, L"\\");
    }
}

static void show_rights_error() {
    BuiltText text = text_join(
        text_pick(L"Wahrscheinlich haben Sie nicht die nötigen Rechte 'Pikeharbour64.exe' in "
                  L"das '",
                  L"You probably don't have the necessary user rights to copy "
                  L"'Pikeharbour64.exe' into '"),
        g_installer.install_folder,
        text_pick(L"' Verzeichnis zu kopieren!\n\nBitte loggen Sie sich mit den nötigen Rechten "
                  L"auf dem Computer ein und starten Pikeharboursetup erneut!",
                  L"'!\n\nPlease get 'admin rights' for your computer and start "
                  L"Pikeharboursetup again!"));
    installer_tell(text_pick(L"Pikeharbour Setup Fehler", L"Pikeharbour Setup Error"), text.text);
    text_release(text);
}

// A product that is running or held open cannot be replaced: the system
// refuses the open with a sharing or lock violation.
static InstallOutcome create_failure() {
    DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        report_product_in_use(false);
        return INSTALL_IN_USE;
    }
    show_rights_error();
    return INSTALL_WRITE_FAILED;
}

// The stored block inflated into the file. Anything but the whole product
// (a short write, a failed flush, a stream that does not inflate to exactly
// the product, a read-back that differs) is a failure: the partial file is
// deleted so no broken product stays behind.
static InstallOutcome write_product() {
    BuiltText path = text_join(g_installer.install_folder, L"Pikeharbour64.exe");
    if (file_create(0, path.text) == 0) {
        InstallOutcome failure = create_failure();
        text_release(path);
        return failure;
    }
    EmbeddedBlock product = embedded_product();
    int64_t written = file_write_inflated(0, product.data, product.size, product_length());
    int64_t flushed = file_flush(0);
    file_close(0);
    bool complete = written == product_length() && flushed != 0 &&
                    product_file_verified(path.text);
    if (!complete) {
        file_delete(path.text);
    }
    text_release(path);
    if (!complete) {
        show_rights_error();
        return INSTALL_WRITE_FAILED;
    }
    return INSTALL_DONE;
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

// A reinstall into another folder deletes the copy the settings file names,
// so that no product is left that removal would not find. One that is
// running stops the reinstall before the new copy is written.
static InstallOutcome delete_previous_copy() {
    if (g_installer.installed == 0) {
        return INSTALL_DONE;
    }
    wchar_t* previous = nullptr;
    settings_product_folder(&previous);
    int64_t deleted = 0;
    if (string_length(previous) > 0 &&
        CompareStringOrdinal(previous, -1, g_installer.install_folder, -1, TRUE) != CSTR_EQUAL) {
        BuiltText path = text_join(previous, L"Pikeharbour64.exe");
        deleted = file_delete_no_link(path.text);
        installer_log(L"Previous copy", path.text);
        text_release(path);
    }
    string_free(previous);
    if (deleted < 0) {
        report_product_in_use(false);
        return INSTALL_IN_USE;
    }
    return INSTALL_DONE;
}

// The lines after the folder line: a new installation's language, or on a
// reinstall every other line of the old file as it stood.
static void write_settings_lines(LinkedList* kept) {
    BuiltText line = text_join(L"Programverzeichnis = ", g_installer.install_folder);
    file_write_line(0, line.text);
    text_release(line);
    if (kept == nullptr) {
        int64_t saved = temp_position();
        temp_append(L"language = ");
        string_from_integer(g_installer.language, temp_position());
        file_write_line(0, temp_argument(saved));
        temp_set_position(saved);
        return;
    }
    list_reset(kept);
    wchar_t** kept_line;
    while ((kept_line = static_cast<wchar_t**>(list_next(kept))) != nullptr) {
        file_write_line(0, *kept_line);
    }
}

// %APPDATA% is the user's: the file is created new (file_create_new). Every
// failure here is silent; without APPDATA there is no settings file.
static void write_settings_file(LinkedList* kept) {
    wchar_t* appdata = nullptr;
    int64_t saved = temp_position();
    env_get(L"APPDATA", saved);
    string_assign_temp(&appdata, saved);
    BuiltText base = text_join(appdata, L"\\");
    int64_t made = string_length(appdata) > 0 ? create_path(base.text, L"PikeHarbour\\") : 0;
    text_release(base);
    if (made != 0) {
        text_assign(&g_installer.settings_folder, appdata, L"\\PikeHarbour\\");
        BuiltText path = text_join(g_installer.settings_folder, L"PikeHarbour.ini");
        int64_t created = file_create_new(0, path.text);
        text_release(path);
        if (created != 0) {
            write_settings_lines(kept);
            file_close(0);
        }
    }
    string_free(appdata);
}

// A first installation writes the settings file; a reinstall into another
// folder rewrites its folder line, so that removal finds the copy that was
// installed last. A reinstall into the same folder leaves it as it is.
static void record_installation() {
    if (g_installer.installed == 0) {
        write_settings_file(nullptr);
        return;
    }
    wchar_t* recorded = nullptr;
    settings_product_folder(&recorded);
    bool moved = CompareStringOrdinal(recorded != nullptr ? recorded : L"", -1,
                                      g_installer.install_folder, -1, TRUE) != CSTR_EQUAL;
    string_free(recorded);
    if (!moved) {
        return;
    }
    LinkedList* kept = list_create(sizeof(wchar_t*), nullptr, STRING_ELEMENT, 0);
    settings_file_lines_except(L"programverzeichnis", kept);
    write_settings_file(kept);
    list_free(kept);
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
    int64_t created = create_path(L"", g_installer.install_folder);
    if (created == 0 || (install_scope_all_users() &&
                         !all_users_protect_created(g_installer.install_folder, created))) {
        installer_log(L"Folder chain", L"could not be created");
        report_folder_failure();
        return INSTALL_NO_FOLDER;
    }
    InstallOutcome outcome = close_running_product();
    if (outcome == INSTALL_DONE) {
        outcome = delete_previous_copy();
    }
    if (outcome == INSTALL_DONE) {
        outcome = write_product();
    }
    if (outcome != INSTALL_DONE) {
        return outcome;
    }
    g_installer.shortcut_made = create_desktop_shortcut(g_installer.install_folder) ? 1 : 0;
    if (!g_installer.shortcut_made) {
        installer_log(L"Desktop shortcut", L"could not be created");
    }
    if (install_scope_all_users()) {
        if (!all_users_record_installation(g_installer.install_folder)) {
            show_rights_error();
            return INSTALL_WRITE_FAILED;
        }
    } else {
        record_installation();
    }
    uninstall_entry_write(g_installer.install_folder);
    product_restart_signal();
    return INSTALL_DONE;
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
