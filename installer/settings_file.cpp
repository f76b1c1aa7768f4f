// The settings file lies in the user's %APPDATA%: anything in it is the
// user's wish, never more. It is read as bytes, line by line (CR LF, a lone
// LF and a lone CR each end a line), with a UTF-8 byte-order mark skipped
// and no line kept longer than SETTINGS_LINE_LIMIT. A file that is not
// UTF-8 text (a NUL byte: UTF-16 as other editors save it), holds two
// folder lines or a folder line that is not one plain local path cannot be
// used: removal then deletes nothing that it names, and it is never
// rewritten.
#include "installer/settings_file.h"
#include <windows.h>
#include <string.h>
#include "files/files.h"
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/dialogs.h"
#include "installer/install/create_path.h"
#include "installer/names.h"
#include "installer/path_rules.h"
#include "installer/text.h"
#include "process/launch.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

// A longer line holds no folder (MAX_PATH) and no language: it is passed
// over, and a reinstall does not copy it.
static const int64_t SETTINGS_LINE_LIMIT = 4096;
// All lines kept for a rewrite together; a larger file is no settings file.
static const int64_t SETTINGS_KEPT_LIMIT = 1 << 20;

struct LineReader {
    HANDLE file;
    uint8_t chunk[65536];
    DWORD filled;
    DWORD at;
    bool ended;
    bool nul_seen;
};

static int next_byte(LineReader* reader) {
    if (reader->at == reader->filled) {
        reader->at = 0;
        reader->filled = 0;
        if (reader->ended || !ReadFile(reader->file, reader->chunk, sizeof reader->chunk,
                                       &reader->filled, nullptr) || reader->filled == 0) {
            reader->ended = true;
            return -1;
        }
    }
    return reader->chunk[reader->at++];
}

// One line into `line` (at most SETTINGS_LINE_LIMIT bytes, the rest passed
// over); false at the end of the file. *length is the whole line's length.
static bool read_line(LineReader* reader, char* line, int64_t* length) {
    *length = 0;
    int byte = next_byte(reader);
    if (byte < 0) {
        return false;
    }
    while (byte >= 0 && byte != '\n' && byte != '\r') {
        reader->nul_seen = reader->nul_seen || byte == 0;
        if (*length < SETTINGS_LINE_LIMIT) {
            line[*length] = static_cast<char>(byte);
        }
        ++*length;
        byte = next_byte(reader);
    }
    if (byte == '\r') {
        int after = next_byte(reader);
        if (after >= 0 && after != '\n') {
            reader->at--;
        }
    }
    line[*length < SETTINGS_LINE_LIMIT ? *length : SETTINGS_LINE_LIMIT] = 0;
    return true;
}

static void mark_unusable(Settings* settings, const wchar_t* problem) {
    if (settings->state != SETTINGS_UNUSABLE) {
        settings->state = SETTINGS_UNUSABLE;
        settings->problem = problem;
    }
}

// "key = value": the key in any case, spaces around key and value removed.
// False without an equals sign; the key (lower case) and value at `out`.
static bool split_line(const wchar_t* line, wchar_t** key, wchar_t** value) {
    const wchar_t* equals = wcschr(line, L'=');
    if (equals == nullptr) {
        return false;
    }
    int64_t saved = temp_position();
    string_left(line, equals - line, saved);
    string_lower(temp_address(saved), saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(key, saved);
    saved = temp_position();
    string_right(line, string_length(line) - (equals - line) - 1, saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(value, saved);
    return true;
}

static void take_folder(Settings* settings, const wchar_t* value) {
    if (string_length(settings->folder) > 0) {
        mark_unusable(settings, L"it holds two folder lines");
        return;
    }
    int64_t saved = temp_position();
    string_trim_char(value, L"\\", saved);
    temp_append(L"\\");
    wchar_t* folder = nullptr;
    string_assign_temp(&folder, saved);
    if (path_rules_check(folder, PRODUCT_FOLDER_LIMIT) != PATH_PLAIN || path_rules_check(value, 4096) != PATH_PLAIN) {
        mark_unusable(settings, L"its folder line is not one plain local path");
        string_free(folder);
        return;
    }
    settings->folder = folder;
}

static void keep_line(Settings* settings, const char* line, int64_t length) {
    if (settings->kept_size + length + 2 > SETTINGS_KEPT_LIMIT) {
        mark_unusable(settings, L"it is too large");
        return;
    }
    void* grown = heap_realloc(settings->kept, settings->kept_size + length + 2);
    if (grown == nullptr) {
        mark_unusable(settings, L"it is too large");
        return;
    }
    settings->kept = static_cast<char*>(grown);
    memcpy(settings->kept + settings->kept_size, line, static_cast<size_t>(length));
    memcpy(settings->kept + settings->kept_size + length, "\r\n", 2);
    settings->kept_size += length + 2;
}

// One line of the file: a folder line is checked, everything else kept.
static void take_line(Settings* settings, const char* line, int64_t length) {
    int64_t saved = temp_position();
    string_from_utf8(line, saved);
    wchar_t* text = nullptr;
    string_assign_temp(&text, saved);
    wchar_t* key = nullptr;
    wchar_t* value = nullptr;
    bool pair = split_line(text, &key, &value);
    if (pair && string_equal(key, L"programverzeichnis")) {
        if (length > SETTINGS_LINE_LIMIT) {
            mark_unusable(settings, L"its folder line is longer than Windows allows");
        } else {
            take_folder(settings, value);
        }
    } else if (length <= SETTINGS_LINE_LIMIT) {
        if (pair && string_equal(key, L"language")) {
            settings->language = string_to_integer(value);
        }
        keep_line(settings, line, length);
    }
    string_free(text);
    string_free(key);
    string_free(value);
}

static void read_lines(LineReader* reader, Settings* settings) {
    static char line[SETTINGS_LINE_LIMIT + 1];
    int64_t length = 0;
    bool first = true;
    while (read_line(reader, line, &length)) {
        const char* start = line;
        if (first && length >= 3 && memcmp(line, "\xEF\xBB\xBF", 3) == 0) {
            start += 3;
            length -= 3;
        }
        if (first && length >= 2 && (memcmp(line, "\xFF\xFE", 2) == 0 ||
                                     memcmp(line, "\xFE\xFF", 2) == 0)) {
            mark_unusable(settings, L"it is saved as UTF-16, not UTF-8");
        }
        first = false;
        if (length > 0 && !reader->nul_seen) {
            take_line(settings, start, length);
        }
    }
    if (reader->nul_seen) {
        mark_unusable(settings, L"it holds a NUL byte (not UTF-8 text)");
    }
}

// A link at the settings file's name is no settings file of ours: it is
// passed over as if nothing were there (and a new file replaces the link).
static bool is_link(const wchar_t* path) {
    HANDLE handle = CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool link = !handle_names_path(handle, path);
    CloseHandle(handle);
    return link;
}

void settings_read(const wchar_t* path, Settings* settings) {
    settings_release(settings);
    HANDLE file = handle_open_no_link(path, GENERIC_READ, FILE_SHARE_READ);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && !is_link(path)) {
            mark_unusable(settings, L"it cannot be read");
        }
        return;
    }
    settings->state = SETTINGS_USABLE;
    LineReader* reader = static_cast<LineReader*>(heap_alloc(sizeof(LineReader)));
    if (reader == nullptr) {
        mark_unusable(settings, L"it cannot be read");
    } else {
        reader->file = file;
        read_lines(reader, settings);
        heap_free(reader);
    }
    CloseHandle(file);
}

void settings_release(Settings* settings) {
    string_free(settings->folder);
    heap_free(settings->kept);
    *settings = {SETTINGS_MISSING, nullptr, -1, nullptr, nullptr, 0};
}

bool settings_write_lines(int64_t id, const wchar_t* folder, int64_t language,
                          const Settings* old) {
    bool complete = false;
    {
        TempScope line;
        temp_append(L"Programverzeichnis = ");
        temp_append(folder);
        complete = file_write_line(id, line.text()) > 0;
    }
    if (old != nullptr) {
        return complete && (old->kept_size == 0 ||
                            file_write_data(id, old->kept, static_cast<int32_t>(old->kept_size)) ==
                                old->kept_size);
    }
    TempScope line;
    temp_append(L"language = ");
    string_from_integer(language, temp_position());
    return file_write_line(id, line.text()) > 0 && complete;
}

DWORD settings_replace(const wchar_t* folder, const wchar_t* install_folder, int64_t language,
                       const Settings* old) {
    int64_t saved = temp_position();
    temp_append(folder);
    temp_append(SETTINGS_FILE);
    wchar_t* path = nullptr;
    string_assign_temp(&path, saved);
    temp_append(path);
    temp_append(L".new");
    wchar_t* fresh = nullptr;
    string_assign_temp(&fresh, saved);
    HANDLE file = reinterpret_cast<HANDLE>(file_create_new(0, fresh));
    DWORD error = file == nullptr ? GetLastError() : ERROR_SUCCESS;
    if (file != nullptr) {
        bool written = settings_write_lines(0, install_folder, language, old);
        if (!written || file_flush(0) == 0 || !handle_rename(file, path, true)) {
            error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
            handle_delete(file);
        }
        file_close(0);
    }
    string_free(path);
    string_free(fresh);
    return error;
}

void settings_report_unusable(const wchar_t* settings_folder, const Settings* settings) {
    BuiltText path = text_join(settings_folder, SETTINGS_FILE);
    BuiltText log = text_join(path.text, L": ", settings->problem);
    installer_log(L"Settings file cannot be used", log.text);
    text_release(log);
    BuiltText text = text_join(
        text_pick(L"Die Einstellungsdatei '", L"The settings file '"), path.text,
        text_pick(L"' ist beschädigt und kann nicht verwendet werden. Pikeharbour wurde nicht "
                  L"verändert.\n\nBitte entfernen Sie Pikeharbour über Apps & Features oder "
                  L"löschen Sie die Datei.",
                  L"' is damaged and cannot be used. Pikeharbour was not changed.\n\nPlease "
                  L"remove Pikeharbour through Apps & features or delete the file."));
    installer_tell(text_pick(L"Pikeharbour Setup Fehler", L"Pikeharbour Setup Error"), text.text);
    text_release(text);
    text_release(path);
}

// Without APPDATA there is no settings folder: the path would otherwise be
// "\PikeHarbour\" in the root of the current drive, a folder any local
// user can create.
void settings_folder_of_account(wchar_t** folder) {
    int64_t at = temp_position();
    env_get(L"APPDATA", at);
    if (string_length(temp_address(at)) > 0) {
        temp_append(L"\\");
        temp_append(SETTINGS_FOLDER);
    }
    string_assign_temp(folder, at);
}

void settings_file_folder(const wchar_t* settings_folder, wchar_t** folder) {
    string_assign(folder, L"");
    if (string_length(settings_folder) == 0) {
        return;
    }
    Settings settings = {SETTINGS_MISSING, nullptr, -1, nullptr, nullptr, 0};
    BuiltText path = text_join(settings_folder, SETTINGS_FILE);
    settings_read(path.text, &settings);
    text_release(path);
    if (settings.state == SETTINGS_USABLE) {
        string_assign(folder, settings.folder);
    }
    settings_release(&settings);
}

bool settings_folder_holds_product(const wchar_t* folder) {
    if (string_length(folder) == 0) {
        return false;
    }
    BuiltText product = text_join(folder, PRODUCT_FILE);
    bool found = path_size(product.text) >= 0;
    text_release(product);
    return found;
}

bool settings_names_product(const wchar_t* settings_folder) {
    wchar_t* folder = nullptr;
    settings_file_folder(settings_folder, &folder);
    bool found = settings_folder_holds_product(folder);
    string_free(folder);
    return found;
}

// %APPDATA% is the user's: settings_replace never writes through a link.
// The folder is made below APPDATA as given, which may be a server's share.
DWORD settings_write_installation(const wchar_t* install_folder, int64_t language,
                                  const Settings* old, wchar_t** settings_folder) {
    settings_folder_of_account(settings_folder);
    int64_t length = string_length(*settings_folder) - string_length(SETTINGS_FOLDER);
    if (length <= 0) {
        return ERROR_ENVVAR_NOT_FOUND;
    }
    wchar_t* appdata = nullptr;
    string_assign(&appdata, *settings_folder);
    appdata[length] = 0;
    int64_t made = create_path(appdata, SETTINGS_FOLDER);
    DWORD error = made != 0 ? ERROR_SUCCESS : GetLastError();
    string_free(appdata);
    if (made == 0) {
        return error != ERROR_SUCCESS ? error : ERROR_PATH_NOT_FOUND;
    }
    return settings_replace(*settings_folder, install_folder, language, old);
}
