// Anyone can start the elevated copy with any /LOG=, so the log must never
// become a way to write or destroy a file as administrator: only a plain
// local ".log" or ".txt" name is taken, an existing file only when it is a
// log of ours, and the file made must be the one named, with no link on
// the way. What is logged cannot forge a line (dialogs.cpp escapes control
// characters).
#include "installer/unattended/log_path.h"
#include <windows.h>
#include <string.h>
#include "files/files.h"
#include "files/link_safe.h"
#include "installer/path_rules.h"
#include "installer/session.h"
#include "runtime/strings.h"

const wchar_t LOG_FIRST_LINE[] = L"PikeHarbour Setup log";

static bool has_log_extension(const wchar_t* path) {
    size_t length = wcslen(path);
    return length > 4 && (_wcsicmp(path + length - 4, L".log") == 0 ||
                          _wcsicmp(path + length - 4, L".txt") == 0);
}

// An existing file at `path` is taken away only when it is a log of ours:
// its first line is LOG_FIRST_LINE. The check and the delete go through
// one handle that names `path` itself. True when nothing is there now.
static bool clear_old_log(const wchar_t* path) {
    HANDLE old = handle_open_no_link(path, GENERIC_READ | DELETE, FILE_SHARE_READ);
    if (old == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    char first[64] = {};
    DWORD got = 0;
    size_t mark = strlen("PikeHarbour Setup log\r\n");
    bool ours = handle_final_path_is(old, path) && ReadFile(old, first, (DWORD)mark, &got, nullptr) &&
                got == mark && memcmp(first, "PikeHarbour Setup log\r\n", mark) == 0;
    bool cleared = ours && handle_delete(old);
    CloseHandle(old);
    return cleared;
}

bool log_path_create(const wchar_t* path) {
    HANDLE file = reinterpret_cast<HANDLE>(file_create_new(LOG_FILE_ID, path));
    if (file == nullptr) {
        return false;
    }
    if (!handle_final_path_is(file, path) || file_write_line(LOG_FILE_ID, LOG_FIRST_LINE) <= 0 ||
        file_flush(LOG_FILE_ID) == 0) {
        handle_delete(file);
        file_close(LOG_FILE_ID);
        return false;
    }
    return true;
}

bool log_path_open(const wchar_t* given) {
    if (path_rules_check(given, MAX_PATH - 1) != PATH_PLAIN || !has_log_extension(given)) {
        return false;
    }
    wchar_t full[MAX_PATH + 1];
    DWORD length = GetFullPathNameW(given, MAX_PATH + 1, full, nullptr);
    if (length == 0 || length > MAX_PATH - 1 || path_rules_check(full, MAX_PATH - 1) != PATH_PLAIN) {
        return false;
    }
    return clear_old_log(full) && log_path_create(full);
}
