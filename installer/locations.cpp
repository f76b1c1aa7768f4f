// Finding an earlier installation and its language in the settings file,
// and proposing the default target folder.
#include <wchar.h>
#include "files/files.h"
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users.h"
#include "installer/handlers.h"
#include "installer/install_scope.h"
#include "installer/state.h"
#include "installer/text.h"
#include "process/launch.h"
#include "runtime/lists.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"

// A line this long holds no folder (they are shorter than MAX_PATH) and no
// language: it is passed over unread.
static const int64_t SETTINGS_LINE_LIMIT = 4096;

static int64_t settings_file_size(const wchar_t* folder, const wchar_t* tail) {
    BuiltText path = text_join(folder, tail);
    int64_t size = path_size(path.text);
    text_release(path);
    return size;
}

// The value of `key` in one settings line "key = value": the key in any
// case, spaces (not tabs) around key and value removed. False when the
// line holds no equals sign or another key.
static bool settings_line_value(const wchar_t* line, const wchar_t* key, wchar_t** value) {
    const wchar_t* equals = wcschr(line, L'=');
    if (equals == nullptr) {
        return false;
    }
    int64_t k = equals - line + 1;
    int64_t saved = temp_position();
    string_left(line, k - 1, saved);
    string_lower(temp_address(saved), saved);
    string_trim(temp_address(saved), saved);
    bool matches = string_equal(temp_address(saved), key);
    temp_set_position(saved);
    if (!matches) {
        return false;
    }
    string_right(line, string_length(line) - k, saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(value, saved);
    return true;
}

// The settings file lies in the user's %APPDATA%: it is opened only when
// its name is no link (file_open_read_no_link), and one that exists but
// cannot be opened (held by another process) is skipped: the end-of-file
// test of a file that failed to open never reports the end.
static bool settings_file_open() {
    if (!string_less(L"", g_installer.settings_folder)) {
        return false;
    }
    BuiltText path = text_join(g_installer.settings_folder, L"PikeHarbour.ini");
    int64_t opened = file_open_read_no_link(0, path.text);
    text_release(path);
    return opened != 0;
}

bool settings_file_value(const wchar_t* key, wchar_t** value) {
    if (!settings_file_open()) {
        return false;
    }
    bool found = false;
    wchar_t* line = nullptr;
    while (file_eof(0) == 0) {
        int64_t saved = temp_position();
        // Only a short line with an equals sign can hold a value; the copy
        // keeps it in place while the temporary buffer may move.
        if (!file_read_line_limited(0, SETTINGS_LINE_LIMIT, saved) ||
            wcschr(temp_address(saved), L'=') == nullptr) {
            temp_set_position(saved);
            continue;
        }
        string_assign_temp(&line, saved);
        found = settings_line_value(line, key, value) || found;
    }
    string_free(line);
    file_close(0);
    return found;
}

void settings_file_lines_except(const wchar_t* key, LinkedList* lines) {
    if (!settings_file_open()) {
        return;
    }
    wchar_t* value = nullptr;
    wchar_t* line = nullptr;
    while (file_eof(0) == 0) {
        int64_t saved = temp_position();
        file_read_line(0, saved);
        string_assign_temp(&line, saved);
        if (!settings_line_value(line, key, &value)) {
            string_assign(static_cast<wchar_t**>(list_add(lines)), line);
        }
    }
    string_free(line);
    string_free(value);
    file_close(0);
}

// Only "X:\..." counts: a network path ("\\server\x") is no local folder,
// and a rooted ("\x") or relative ("x") one would be resolved against
// whatever the current drive and folder are.
static bool is_absolute_local(const wchar_t* path) {
    if (path == nullptr) {
        return false;
    }
    wchar_t drive = path[0] | 0x20;
    return drive >= L'a' && drive <= L'z' && path[1] == L':' && path[2] == L'\\';
}

void settings_product_folder(wchar_t** folder) {
    if (install_scope_all_users()) {
        all_users_product_folder(folder);
        return;
    }
    settings_file_folder(folder);
}

void settings_file_folder(wchar_t** folder) {
    string_assign(folder, L"");
    if (!settings_file_value(L"programverzeichnis", folder) || !is_absolute_local(*folder)) {
        string_assign(folder, L"");
        return;
    }
    if (text_last(*folder) != L'\\') {
        text_assign(folder, *folder, L"\\");
    }
}

bool settings_names_product() {
    wchar_t* folder = nullptr;
    settings_file_folder(&folder);
    bool found = false;
    if (string_length(folder) > 0) {
        BuiltText product = text_join(folder, L"Pikeharbour64.exe");
        found = path_size(product.text) >= 0;
        text_release(product);
    }
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
    if (string_less(L"", g_installer.settings_folder) &&
        settings_file_size(g_installer.settings_folder, L"PikeHarbour.ini") > 0 &&
        settings_names_product()) {
        g_installer.installed = 1;
        wchar_t* language = nullptr;
        if (settings_file_value(L"language", &language)) {
            g_installer.language = string_to_integer(language);
        }
        string_free(language);
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
