// Removal: deletes the product executable, the settings file and the
// desktop shortcut, tells the shell, reports and ends. The settings file
// and the shortcut lie in folders the user controls: they are deleted only
// when their names are no links (file_delete_no_link).
#include <windows.h>
#include <shlobj.h>
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users.h"
#include "installer/close_product.h"
#include "installer/dialogs.h"
#include "installer/handlers.h"
#include "installer/install_scope.h"
#include "installer/shortcut.h"
#include "installer/state.h"
#include "installer/text.h"
#include "installer/uninstall_entry.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"

// The folder the last installation used, as its settings file records it.
// The default in install_folder is only the program-files folder, which
// would leave the product in place while the report says it was removed.
static void installed_folder(wchar_t** folder) {
    settings_product_folder(folder);
    if (string_length(*folder) == 0) {
        int64_t saved = temp_position();
        target_folder_text(saved);
        string_trim(temp_address(saved), saved);
        string_assign_temp(folder, saved);
    }
    if (string_length(*folder) > 0 && text_last(*folder) != L'\\') {
        text_assign(folder, *folder, L"\\");
    }
}

// 1 deleted, 0 nothing there (or a link, left alone), -1 not deleted.
static int64_t delete_in(const wchar_t* folder, const wchar_t* name) {
    BuiltText path = text_join(folder, name);
    int64_t deleted = file_delete_no_link(path.text);
    text_release(path);
    return deleted;
}

// The entry goes once the product is gone; the folders of ours go when
// nothing is left in them (RemoveDirectoryW removes only an empty folder).
static void tidy_after_removal(const wchar_t* folder) {
    BuiltText product = text_join(folder, L"Pikeharbour64.exe");
    bool gone = string_length(folder) == 0 || path_size(product.text) < 0;
    text_release(product);
    if (!gone) {
        return;
    }
    uninstall_entry_delete();
    if (string_length(folder) > 0) {
        RemoveDirectoryW(folder);
    }
    if (string_less(L"", g_installer.settings_folder)) {
        RemoveDirectoryW(g_installer.settings_folder);
    }
}

static void delete_shortcut() {
    int64_t saved = temp_position();
    desktop_folder(saved);
    if (string_length(temp_address(saved)) > 0) {
        temp_append(L"\\PikeHarbour.LNK");
        const wchar_t* link = temp_argument(saved);
        if (file_delete_no_link(link) == 1) {
            SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, link, nullptr);
        }
    }
    temp_set_position(saved);
}

// A program that was asked to close and did not: said as such, since the
// user agreed to have it closed.
static void report_product_still_running(bool removal) {
    BuiltText text = text_join(
        text_pick(L"Pikeharbour wurde nicht beendet und läuft noch. Das installierte Programm "
                  L"wurde nicht verändert.\n\nBitte beenden Sie Pikeharbour und starten Sie "
                  L"die ",
                  L"Pikeharbour did not close and is still running. The installed program was "
                  L"left unchanged.\n\nPlease close Pikeharbour and start the "),
        removal ? text_pick(L"Deinstallation", L"removal")
                : text_pick(L"Installation", L"installation"),
        text_pick(L" erneut.", L" again."));
    installer_tell(L"Pikeharbour Setup", text.text);
    text_release(text);
}

void report_product_in_use(bool removal) {
    if (g_installer.product_close == CLOSE_REFUSED) {
        report_product_still_running(removal);
        return;
    }
    BuiltText text = text_join(
        text_pick(L"'Pikeharbour64.exe' wird gerade benutzt und konnte nicht gelöscht werden."
                  L"\n\nBitte beenden Sie Pikeharbour und starten Sie die ",
                  L"'Pikeharbour64.exe' is in use and could not be deleted.\n\nPlease close "
                  L"Pikeharbour and start the "),
        removal ? text_pick(L"Deinstallation", L"removal")
                : text_pick(L"Installation", L"installation"),
        text_pick(L" erneut.", L" again."));
    installer_tell(L"Pikeharbour Setup", text.text);
    text_release(text);
}

bool remove_run() {
    wchar_t* folder = nullptr;
    installed_folder(&folder);
    bool product_gone = true;
    if (string_length(folder) > 0) {
        BuiltText product = text_join(folder, L"Pikeharbour64.exe");
        product_gone = product_close_running(product.text, nullptr);
        text_release(product);
        product_gone = product_gone && delete_in(folder, L"Pikeharbour64.exe") >= 0;
    }
    installer_log(L"Product folder", folder);
    if (!product_gone) {
        string_free(folder);
        installer_log(L"Product", L"in use, nothing removed");
        return false;
    }
    if (string_less(L"", g_installer.settings_folder)) {
        delete_in(g_installer.settings_folder, L"PikeHarbour.ini");
    }
    delete_shortcut();
    tidy_after_removal(folder);
    if (install_scope_all_users()) {
        all_users_remove(folder);
    }
    string_free(folder);
    return true;
}

void remove_product() {
    if (installer_ask(L"Pikeharbour Setup",
                      text_pick(L"'Pikeharbour_Setup.exe' wird Pikeharbour deinstallieren!\n\n"
                                L"Möchten Sie jetzt Pikeharbour deinstallieren?",
                                L"'Pikeharbour_Setup.exe' will delete the Pikeharbour software "
                                L"from your Computer!\n\nDo you want to de-install Pikeharbour "
                                L"now?"),
                      IDYES) != IDYES) {
        return;
    }
    if (!remove_run()) {
        report_product_in_use(true);
        installer_exit();
    }
    installer_tell(L"Pikeharbour Setup",
                   text_pick(L"'Pikeharbour64.exe' und Links wurden deinstalliert!\n\nPH "
                             L"Daten müssen manuell gelöscht werden!",
                             L"'Pikeharbour64.exe' and registred links were delete from your "
                             L"Computer!\n\nPH data have to be deleted manually!"));
    installer_exit();
}
