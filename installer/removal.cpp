// Removal: deletes the product executable, the settings file and the
// desktop shortcut, tells the shell, reports and ends.
#include <windows.h>
#include <shlobj.h>
#include "files/files.h"
#include "files/filesystem.h"
#include "installer/dialogs.h"
#include "installer/handlers.h"
#include "installer/shortcut.h"
#include "installer/state.h"
#include "installer/text.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"

// The folder the last installation used, as its settings file records it.
// The default in install_folder is only the program-files folder, which
// would leave the product in place while the report says it was removed.
static void installed_folder(wchar_t** folder) {
    settings_file_value(L"programverzeichnis", folder);
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

static void delete_if_present(const wchar_t* folder, const wchar_t* name) {
    BuiltText path = text_join(folder, name);
    if (path_size(path.text) > 0) {
        file_delete(path.text);
    }
    text_release(path);
}

static void delete_shortcut() {
    int64_t saved = temp_position();
    desktop_folder(saved);
    temp_append(L"\\PikeHarbour.LNK");
    const wchar_t* link = temp_argument(saved);
    file_delete(link);
    SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, link, nullptr);
    temp_set_position(saved);
}

void remove_run() {
    wchar_t* folder = nullptr;
    installed_folder(&folder);
    if (string_length(folder) > 0) {
        delete_if_present(folder, L"Pikeharbour64.exe");
    }
    installer_log(L"Product folder", folder);
    string_free(folder);
    if (string_less(L"", g_installer.settings_folder)) {
        delete_if_present(g_installer.settings_folder, L"PikeHarbour.ini");
    }
    delete_shortcut();
}

void remove_product() {
    if (installer_ask(L"Pikeharbour Setup",
                      text_pick(L"'Pikeharbour_Setup.exe' wird Pikeharbour deinstallieren!\n\n"
                                L"Möchten Sie jetzt Pikeharbour deinstallieren?",
                                L"'Pikeharbour_Setup.exe' will delete the Pikeharbour software "
                                L"from your Computer!\n\nDo you want to de-install Pikeharbour "
                                L"now?"),
                      6) != 6) {
        return;
    }
    remove_run();
    installer_tell(L"Pikeharbour Setup",
                   text_pick(L"'Pikeharbour64.exe' und Links wurden deinstalliert!\n\nPH "
                             L"Daten müssen manuell gelöscht werden!",
                             L"'Pikeharbour64.exe' and registred links were delete from your "
                             L"Computer!\n\nPH data have to be deleted manually!"));
    installer_exit();
}
