// Finding an earlier installation and its language in the settings file
// (read and checked in settings_file.cpp), and proposing the default
// target folder.
#include <wchar.h>
#include "files/files.h"
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users/all_users.h"
#include "installer/handlers.h"
#include "installer/all_users/install_scope.h"
#include "installer/settings_file.h"
#include "installer/state.h"
#include "installer/text.h"
#include "process/launch.h"
#include "runtime/lists.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"

static int64_t settings_file_size(const wchar_t* folder, const wchar_t* tail) {
    BuiltText path = text_join(folder, tail);
    int64_t size = path_size(path.text);
    text_release(path);
    return size;
}

void settings_product_folder(wchar_t** folder) {
    if (install_scope_all_users()) {
        all_users_product_folder(folder);
        return;
    }
    const Settings* settings = settings_current();
    if (settings->state == SETTINGS_MISSING) {
        settings_file_folder(folder);
        return;
    }
    string_assign(folder, settings->state == SETTINGS_USABLE ? settings->folder : L"");
}

// The settings file in g_installer.settings_folder, read and checked by
// the one reader (settings_file.cpp): its folder when it is usable.
void settings_file_folder(wchar_t** folder) {
    string_assign(folder, L"");
    if (!string_less(L"", g_installer.settings_folder)) {
        return;
    }
    Settings settings = {SETTINGS_MISSING, nullptr, -1, nullptr, nullptr, 0};
    BuiltText path = text_join(g_installer.settings_folder, L"PikeHarbour.ini");
    settings_read(path.text, &settings);
    text_release(path);
    if (settings.state == SETTINGS_USABLE) {
        string_assign(folder, settings.folder);
    }
    settings_release(&settings);
}

static bool folder_holds_product(const wchar_t* folder) {
    bool found = false;
    if (string_length(folder) > 0) {
        BuiltText product = text_join(folder, L"Pikeharbour64.exe");
        found = path_size(product.text) >= 0;
        text_release(product);
    }
    return found;
}

bool settings_names_product() {
    wchar_t* folder = nullptr;
    settings_file_folder(&folder);
    bool found = folder_holds_product(folder);
    string_free(folder);
    return found;
}

// Without APPDATA there is no settings file: the path would otherwise be
// "\PikeHarbour\PikeHarbour.ini" in the root of the current drive, a
// folder any local user can create.
static void find_settings_file() {
    wchar_t* appdata = nullptr;
    int64_t saved = temp_position();
    env_get(L"APPDATA", saved);
    string_assign_temp(&appdata, saved);
    if (string_length(appdata) > 0 && settings_file_size(appdata, L"\\PikeHarbour\\PikeHarbour.ini") > 0) {
        saved = temp_position();
        env_get(L"APPDATA", saved);
        temp_append(L"\\PikeHarbour\\");
        string_assign_temp(&g_installer.settings_folder, saved);
    }
    string_free(appdata);
    if (!string_less(L"", g_installer.settings_folder) ||
        settings_file_size(g_installer.settings_folder, L"PikeHarbour.ini") <= 0) {
        return;
    }
    BuiltText path = text_join(g_installer.settings_folder, L"PikeHarbour.ini");
    settings_read(path.text, settings_current());
    text_release(path);
    // A file that cannot be used still counts as an installation: it is
    // never rewritten, and removal tells the user.
    const Settings* settings = settings_current();
    if (settings->state == SETTINGS_UNUSABLE ||
        (settings->state == SETTINGS_USABLE && folder_holds_product(settings->folder))) {
        g_installer.installed = 1;
        if (settings->state == SETTINGS_USABLE && settings->language != -1) {
            g_installer.language = settings->language;
        }
    }
}

static void propose_target_folder() {
    wchar_t* folder = nullptr;
    int64_t saved = temp_position();
    env_get(L"ProgramFiles", saved);
    string_assign_temp(&folder, saved);
    if (text_last(folder) != L'\\') {
        text_assign(&folder, folder, L"\\");
    }
    if (path_size(folder) == -1) {
        string_assign(&folder, L"C:\\Program Files\\");
    }
    if (path_size(folder) == -2) {
        string_assign(&g_installer.install_folder, folder);
    }
    string_free(folder);
    control_set_text(g_installer.folder_tree, g_installer.install_folder);
    BuiltText proposal = text_join(g_installer.install_folder, L"PikeHarbour\\");
    control_set_text(g_installer.path_field, proposal.text);
    text_release(proposal);
}

void locate_installation() {
    if (install_scope_all_users()) {
        all_users_locate();
    } else {
        find_settings_file();
    }
    if (string_length(g_installer.install_folder) == 0) {
        propose_target_folder();
    }
}

void target_folder_text(int64_t out) {
    if (!g_installer.unattended) {
        control_get_text(g_installer.path_field, out);
        return;
    }
    if (g_installer.unattended_target != nullptr) {
        temp_append(g_installer.unattended_target);
        return;
    }
    temp_append(g_installer.install_folder);
    temp_append(L"PikeHarbour\\");
}
