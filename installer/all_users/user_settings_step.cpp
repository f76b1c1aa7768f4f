// The per-user step runs as the user (at logon through Active Setup, or
// from the launcher), without elevation, window or payload check. It never
// overwrites a settings file: whatever the user has stays.
#include "installer/all_users/user_settings_step.h"
#include <windows.h>
#include <wchar.h>
#include "installer/all_users/all_users_record.h"
#include "installer/names.h"

const wchar_t USER_STEP_PARAMETER[] = L"-peruser";

// Room for APPDATA, "\PikeHarbour\PikeHarbour.ini" and its NUL.
static const DWORD SETTINGS_PATH_LIMIT = MAX_PATH;
// The settings folder's name ends where the file name begins.
static const size_t FILE_NAME_LENGTH = 16;   // "\PikeHarbour.ini"

// %APPDATA%\PikeHarbour\PikeHarbour.ini; false without APPDATA or when the
// path would not fit.
static bool settings_path(wchar_t* path) {
    DWORD length = GetEnvironmentVariableW(L"APPDATA", path, SETTINGS_PATH_LIMIT);
    size_t tail = wcslen(SETTINGS_PATH_TAIL);
    if (length == 0 || length >= SETTINGS_PATH_LIMIT || length + tail >= SETTINGS_PATH_LIMIT) {
        return false;
    }
    wmemcpy(path + length, SETTINGS_PATH_TAIL, tail + 1);
    return true;
}

bool user_settings_step_needed() {
    wchar_t path[SETTINGS_PATH_LIMIT];
    return all_users_record_exists() && settings_path(path) &&
           GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES;
}

// Today's format: UTF-8 without a byte-order mark, CR LF lines.
static bool write_settings(HANDLE file, const AllUsersRecord& record) {
    wchar_t text[RECORD_FOLDER_LIMIT + 64];
    int length = _snwprintf(text, RECORD_FOLDER_LIMIT + 63,
                            L"Programverzeichnis = %ls\r\nlanguage = %d\r\n", record.folder,
                            (int)record.language);
    if (length <= 0) {
        return false;
    }
    char bytes[(RECORD_FOLDER_LIMIT + 64) * 3];
    int size = WideCharToMultiByte(CP_UTF8, 0, text, length, bytes, sizeof bytes, nullptr,
                                   nullptr);
    DWORD written = 0;
    return size > 0 && WriteFile(file, bytes, (DWORD)size, &written, nullptr) &&
           written == (DWORD)size && FlushFileBuffers(file);
}

// CREATE_NEW: a file that appeared in the meantime is the user's and stays.
static int32_t create_settings(const wchar_t* path, const AllUsersRecord& record) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_EXISTS ? 0 : 1;
    }
    bool written = write_settings(file, record);
    if (!written) {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    }
    CloseHandle(file);
    return written ? 0 : 1;
}

int32_t user_settings_step_run() {
    AllUsersRecord record;
    if (!all_users_record_read(&record)) {
        return 0;
    }
    wchar_t path[SETTINGS_PATH_LIMIT];
    if (!settings_path(path)) {
        return 1;
    }
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    size_t folder_end = wcslen(path) - FILE_NAME_LENGTH;
    path[folder_end] = 0;
    bool folder = CreateDirectoryW(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    path[folder_end] = L'\\';
    return folder ? create_settings(path, record) : 1;
}
