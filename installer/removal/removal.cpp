// Removal: deletes the product executable (only when it is the product),
// the settings file and the desktop shortcut, tells the shell, reports and
// ends. The settings file and the shortcut lie in folders the user
// controls: they are deleted only when their names are no links
// (file_delete_no_link).
#include "installer/removal/removal.h"
#include <windows.h>
#include <shlobj.h>
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users/all_users.h"
#include "installer/all_users/install_scope.h"
#include "installer/dialogs.h"
#include "installer/error_text.h"
#include "installer/install/apps_features_entry.h"
#include "installer/install/shortcut.h"
#include "installer/names.h"
#include "installer/path_rules.h"
#include "installer/product_identity.h"
#include "installer/removal/leftovers.h"
#include "installer/removal/system_folders.h"
#include "installer/running_product/close_product.h"
#include "installer/session.h"
#include "installer/settings_file.h"
#include "installer/text.h"
#include "installer/unattended/unattended.h"
#include "runtime/strings.h"

// The folder the last installation used, as its settings file or record
// says; else the folder asked for (the path field's proposal or /D=).
static void installed_folder(const wchar_t* asked, wchar_t** folder) {
    installation_product_folder(&g_session.found, folder);
    if (string_length(*folder) == 0) {
        int64_t saved = temp_position();
        string_trim(asked, saved);
        string_assign_temp(folder, saved);
    }
    if (string_length(*folder) > 0 && text_last(*folder) != L'\\') {
        text_assign(folder, *folder, L"\\");
    }
}

// 1 deleted, 0 nothing there (or a link, left alone), -1 not deleted
// (noted as a leftover).
static int64_t delete_in(const wchar_t* folder, const wchar_t* name) {
    BuiltText path = text_join(folder, name);
    int64_t deleted = file_delete_no_link(path.text);
    if (deleted < 0) {
        leftovers_note(path.text, GetLastError());
    }
    text_release(path);
    return deleted;
}

static void delete_entry() {
    if (!apps_features_entry_delete()) {
        leftovers_note(L"Apps & features", GetLastError());
    }
}

// The entry goes once the product is gone; the folders of ours go when
// nothing is left in them (RemoveDirectoryW removes only an empty folder),
// never a system folder.
static void tidy_after_removal(const wchar_t* folder) {
    BuiltText product = text_join(folder, PRODUCT_FILE);
    bool gone = string_length(folder) == 0 || path_size(product.text) < 0;
    text_release(product);
    if (!gone) {
        return;
    }
    delete_entry();
    if (string_length(folder) > 0 && !system_folder_is(folder)) {
        RemoveDirectoryW(folder);
    }
    if (string_less(L"", g_session.found.settings_folder)) {
        RemoveDirectoryW(g_session.found.settings_folder);
    }
}

static void delete_shortcut() {
    TempScope link;
    desktop_folder(link.start);
    if (string_length(link.text()) > 0) {
        temp_append(L"\\");
        temp_append(SHORTCUT_FILE);
        int64_t deleted = file_delete_no_link(link.text());
        if (deleted == 1) {
            SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, link.text(), nullptr);
        } else if (deleted < 0) {
            leftovers_note(link.text(), GetLastError());
        }
    }
}

// What is safely ours goes even when the settings file cannot be used, so
// that the user is not stuck: the shortcut, the entry and the file itself.
static int32_t remove_without_settings() {
    settings_report_unusable(g_session.found.settings_folder, &g_session.found.settings);
    delete_shortcut();
    delete_entry();
    if (string_less(L"", g_session.found.settings_folder)) {
        delete_in(g_session.found.settings_folder, SETTINGS_FILE);
        RemoveDirectoryW(g_session.found.settings_folder);
    }
    return EXIT_SETTINGS_UNUSABLE;
}

// The product file, when it is the product: 0 gone or never there, else
// the exit code (nothing else is removed then).
static int32_t remove_product_file(const wchar_t* folder) {
    if (string_length(folder) == 0) {
        return EXIT_SUCCESS_CODE;
    }
    BuiltText path = text_join(folder, PRODUCT_FILE);
    DWORD error = ERROR_SUCCESS;
    if (!product_close_running(path.text, nullptr)) {
        text_release(path);
        installer_log(L"Product", L"in use, nothing removed");
        return EXIT_PRODUCT_IN_USE;
    }
    ProductDelete result = product_delete_if_ours(path.text, &error);
    int32_t code = EXIT_SUCCESS_CODE;
    if (result == PRODUCT_NOT_OURS) {
        installer_log(L"Product", L"the file there is not Pikeharbour and was left");
        BuiltText text = text_join(
            text_pick(L"'", L"'"), path.text,
            text_pick(L"' ist nicht Pikeharbour und wurde nicht gelöscht.",
                      L"' is not Pikeharbour and was not deleted."));
        installer_tell(L"Pikeharbour Setup", text.text);
        text_release(text);
    } else if (result == PRODUCT_IN_USE) {
        error_log(L"Product", path.text, error);
        installer_log(L"Product", L"in use, nothing removed");
        code = EXIT_PRODUCT_IN_USE;
    } else if (result == PRODUCT_DELETE_FAILED) {
        error_report(L"Product could not be deleted", path.text, folder, error);
        code = EXIT_WRITE_FAILED;
    }
    text_release(path);
    return code;
}

int32_t remove_run(const RunRequest& request) {
    session_begin(request);
    leftovers_reset();
    if (g_session.found.settings.state == SETTINGS_UNUSABLE) {
        return remove_without_settings();
    }
    wchar_t* folder = nullptr;
    installed_folder(request.folder, &folder);
    installer_log(L"Product folder", folder);
    int32_t code = EXIT_SUCCESS_CODE;
    PathVerdict verdict =
        string_length(folder) > 0 ? path_rules_check(folder, PRODUCT_FOLDER_LIMIT) : PATH_PLAIN;
    if (verdict != PATH_PLAIN) {
        installer_log(L"Product folder", path_rules_reason(verdict));
        code = EXIT_FOLDER_FAILED;
    } else {
        code = remove_product_file(folder);
    }
    if (code != EXIT_SUCCESS_CODE) {
        string_free(folder);
        return code;
    }
    if (string_less(L"", g_session.found.settings_folder)) {
        delete_in(g_session.found.settings_folder, SETTINGS_FILE);
    }
    delete_shortcut();
    tidy_after_removal(folder);
    if (install_scope_all_users()) {
        all_users_remove(folder);
    }
    string_free(folder);
    return leftovers_report() ? EXIT_WRITE_FAILED : EXIT_SUCCESS_CODE;
}

void remove_product(const RunRequest& request) {
    session_begin(request);
    if (installer_ask(L"Pikeharbour Setup",
                      text_pick(L"'Pikeharbour_Setup.exe' wird Pikeharbour deinstallieren!\n\n"
                                L"Möchten Sie jetzt Pikeharbour deinstallieren?",
                                L"'Pikeharbour_Setup.exe' will delete the Pikeharbour software "
                                L"from your Computer!\n\nDo you want to de-install Pikeharbour "
                                L"now?"),
                      IDYES) != IDYES) {
        return;
    }
    int32_t code = remove_run(request);
    if (code == EXIT_PRODUCT_IN_USE) {
        report_product_in_use(true);
    }
    if (code != EXIT_SUCCESS_CODE) {
        installer_exit();
    }
    installer_tell(L"Pikeharbour Setup",
                   text_pick(L"'Pikeharbour64.exe' und Links wurden deinstalliert!\n\nPH "
                             L"Daten müssen manuell gelöscht werden!",
                             L"'Pikeharbour64.exe' and registred links were delete from your "
                             L"Computer!\n\nPH data have to be deleted manually!"));
    installer_exit();
}
