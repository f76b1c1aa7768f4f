// The install button: confirmation, safety copy, folder chain, product
// executable, desktop shortcut, settings file, success message and end.
#include "files/files.h"
#include "files/filesystem.h"
#include "installer/create_path.h"
#include "installer/dialogs.h"
#include "installer/handlers.h"
#include "installer/integrity.h"
#include "installer/shortcut.h"
#include "installer/state.h"
#include "installer/text.h"
#include "process/command_line.h"
#include "process/launch.h"
#include "resources/embedded.h"
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

static void make_safety_copy() {
    wchar_t* home = nullptr;
    int64_t saved = temp_position();
    home_directory(saved);
    string_assign_temp(&home, saved);
    if (create_path(home, L"PikeHarbour\\SetupBackup\\") == 0) {
        installer_tell(ERROR_TITLE, L"'PikeHarbour_Setup.exe' could not create the Setupdir!");
        string_free(home);
        return;
    }
    text_assign(&g_installer.backup_folder, home, L"PikeHarbour\\SetupBackup\\");
    string_free(home);
    wchar_t* own = nullptr;
    assign_own_path(&own);
    if (safety_copy_needed(own)) {
        BuiltText target = text_join(g_installer.backup_folder, L"PikeHarbour_Setup.exe");
        int64_t copied = file_copy(own, target.text);
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

// One raw write of the whole block. A short write or a failed flush is a
// failure: the partial file is deleted so no broken product stays behind.
static bool write_product() {
    BuiltText path = text_join(g_installer.install_folder, L"Pikeharbour64.exe");
    if (file_create(0, path.text) == 0) {
        text_release(path);
        show_rights_error();
        return false;
    }
    EmbeddedBlock product = embedded_product();
    int64_t written = file_write_data(0, product.data, product.size);
    int64_t flushed = file_flush(0);
    file_close(0);
    bool complete = written == product.size && flushed != 0 && product_file_verified(path.text);
    if (!complete) {
        file_delete(path.text);
    }
    text_release(path);
    if (!complete) {
        show_rights_error();
    }
    return complete;
}

// Only for a first installation; every failure here is silent.
static void write_settings_file() {
    wchar_t* appdata = nullptr;
    int64_t saved = temp_position();
    env_get(L"APPDATA", saved);
    string_assign_temp(&appdata, saved);
    BuiltText base = text_join(appdata, L"\\");
    int64_t made = create_path(base.text, L"PikeHarbour\\");
    text_release(base);
    if (made != 0) {
        text_assign(&g_installer.settings_folder, appdata, L"\\PikeHarbour\\");
        BuiltText path = text_join(g_installer.settings_folder, L"PikeHarbour.ini");
        int64_t created = file_create(0, path.text);
        text_release(path);
        if (created != 0) {
            BuiltText line = text_join(L"Programverzeichnis = ", g_installer.install_folder);
            file_write_line(0, line.text);
            text_release(line);
            saved = temp_position();
            temp_append(L"language = ");
            string_from_integer(g_installer.language, temp_position());
            const wchar_t* language_line = temp_argument(saved);
            file_write_line(0, language_line);
            temp_set_position(saved);
            file_close(0);
        }
    }
    string_free(appdata);
}

static bool product_already_there() {
    BuiltText path = text_join(g_installer.install_folder, L"Pikeharbour64.exe");
    int64_t size = path_size(path.text);
    text_release(path);
    return size > 0;
}

InstallOutcome install_run() {
    if (installer_ask(SETUP_TITLE,
                      text_pick(L"'Pikeharbour_Setup.exe' wird Pikeharbour installieren!\n\n"
                                L"Möchten Sie jetzt Pikeharbour installieren?",
                                L"'Pikeharbour_Setup.exe' will install Pikeharbour on your "
                                L"Computer!\n\nDo you want to install Pikeharbour now?"),
                      6) != 6) {
        return INSTALL_REFUSED;
    }
    make_safety_copy();
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
                      6) != 6) {
        return INSTALL_REFUSED;
    }
    if (create_path(L"", g_installer.install_folder) == 0) {
        installer_log(L"Folder chain", L"could not be created");
        return INSTALL_NO_FOLDER;
    }
    if (!write_product()) {
        return INSTALL_WRITE_FAILED;
    }
    create_desktop_shortcut(g_installer.install_folder);
    if (g_installer.installed == 0) {
        write_settings_file();
    }
    return INSTALL_DONE;
}

void install_report_success() {
    installer_tell(SETUP_TITLE,
                   text_pick(L"Die Installation wurde erfolgreich durchgeführt.\n\nBitte "
                             L"starten Sie Pikeharbour durch Doppelklick auf der "
                             L"Desktopverknüpfung!",
                             L"Pikeharbour insallation successful.\n\nPlease start Pikeharbour "
                             L"by double click the shortcut on your desktop!"));
}

void install_product() {
    if (install_run() != INSTALL_DONE) {
        return;
    }
    install_report_success();
    installer_exit();
}
