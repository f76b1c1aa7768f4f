// Finding an earlier installation: this account's settings file (read and
// checked in settings_file.cpp) or the all-users record, and the folder
// the folder page starts in.
#include "files/filesystem.h"
#include "installer/all_users/all_users.h"
#include "installer/all_users/install_scope.h"
#include "installer/installation.h"
#include "installer/names.h"
#include "installer/text.h"
#include "process/launch.h"
#include "runtime/strings.h"

// A file that cannot be used still counts as an installation: it is never
// rewritten, and removal tells the user.
static void find_settings_file(Installation* found) {
    settings_folder_of_account(&found->settings_folder);
    if (string_length(found->settings_folder) == 0) {
        return;
    }
    BuiltText path = text_join(found->settings_folder, SETTINGS_FILE);
    bool present = path_size(path.text) > 0;
    if (present) {
        settings_read(path.text, &found->settings);
    }
    text_release(path);
    if (!present) {
        string_assign(&found->settings_folder, L"");
        return;
    }
    const Settings& settings = found->settings;
    if (settings.state == SETTINGS_UNUSABLE ||
        (settings.state == SETTINGS_USABLE && settings_folder_holds_product(settings.folder))) {
        found->installed = true;
        found->language = settings.state == SETTINGS_USABLE ? settings.language : -1;
    }
}

// %ProgramFiles% with its backslash, "C:\Program Files\" without the
// variable; empty when that is not a folder.
static void find_program_files(wchar_t** folder) {
    int64_t at = temp_position();
    env_get(L"ProgramFiles", at);
    string_assign_temp(folder, at);
    if (text_last(*folder) != L'\\') {
        text_assign(folder, *folder, L"\\");
    }
    if (path_size(*folder) == PATH_SIZE_MISSING) {
        string_assign(folder, L"C:\\Program Files\\");
    }
    if (path_size(*folder) != PATH_SIZE_FOLDER) {
        string_assign(folder, L"");
    }
}

Installation locate_installation() {
    Installation found = {false, -1, nullptr, {SETTINGS_MISSING, nullptr, -1, nullptr, nullptr, 0},
                          nullptr};
    string_assign(&found.settings_folder, L"");
    if (install_scope_all_users()) {
        all_users_locate(&found);
    } else {
        find_settings_file(&found);
    }
    find_program_files(&found.program_files);
    return found;
}

void installation_proposed_folder(const Installation* found, wchar_t** folder) {
    text_assign(folder, found->program_files, PRODUCT_FOLDER);
}

void installation_product_folder(const Installation* found, wchar_t** folder) {
    if (install_scope_all_users()) {
        all_users_product_folder(folder);
        return;
    }
    const Settings& settings = found->settings;
    if (settings.state == SETTINGS_MISSING) {
        settings_file_folder(found->settings_folder, folder);
        return;
    }
    string_assign(folder, settings.state == SETTINGS_USABLE ? settings.folder : L"");
}
