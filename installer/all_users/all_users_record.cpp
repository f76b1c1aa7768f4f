// The all-users record in HKLM. Every reader checks what it gets: a value
// of another type, one without its NUL or one that is not a plain local
// folder is no record.
#include "installer/all_users/all_users_record.h"
#include <windows.h>
#include <wchar.h>
#include "installer/names.h"

// "X:\" followed by anything but control characters, ending in a backslash.
static bool plain_local_folder(const wchar_t* folder) {
    size_t length = wcslen(folder);
    wchar_t drive = folder[0] | 0x20;
    if (length < 3 || drive < L'a' || drive > L'z' || folder[1] != L':' || folder[2] != L'\\' ||
        folder[length - 1] != L'\\') {
        return false;
    }
    for (size_t at = 0; at < length; at++) {
        if (folder[at] < 0x20) {
            return false;
        }
    }
    return true;
}

static bool read_folder(HKEY key, wchar_t* folder) {
    DWORD type = 0;
    DWORD bytes = (RECORD_FOLDER_LIMIT - 1) * sizeof(wchar_t);
    if (RegQueryValueExW(key, L"InstallFolder", nullptr, &type, reinterpret_cast<BYTE*>(folder),
                         &bytes) != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    folder[bytes / sizeof(wchar_t)] = 0;
    return plain_local_folder(folder);
}

bool all_users_record_read(AllUsersRecord* record) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ALL_USERS_RECORD_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    bool found = read_folder(key, record->folder);
    DWORD language = 1;
    DWORD type = 0;
    DWORD bytes = sizeof language;
    if (RegQueryValueExW(key, L"Language", nullptr, &type, reinterpret_cast<BYTE*>(&language),
                         &bytes) != ERROR_SUCCESS || type != REG_DWORD) {
        language = 1;
    }
    record->language = language == 0 ? 0 : 1;
    RegCloseKey(key);
    return found;
}

bool all_users_record_exists() {
    AllUsersRecord record;
    return all_users_record_read(&record);
}

bool all_users_record_write(const wchar_t* folder, int64_t language) {
    HKEY key = nullptr;
    if (!plain_local_folder(folder) || wcslen(folder) >= RECORD_FOLDER_LIMIT ||
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, ALL_USERS_RECORD_KEY, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    DWORD bytes = (DWORD)((wcslen(folder) + 1) * sizeof(wchar_t));
    DWORD number = language == 0 ? 0 : 1;
    bool written = RegSetValueExW(key, L"InstallFolder", 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(folder), bytes) == ERROR_SUCCESS;
    written = RegSetValueExW(key, L"Language", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&number), sizeof number) ==
                  ERROR_SUCCESS && written;
    RegCloseKey(key);
    return written;
}

LSTATUS all_users_record_delete() {
    LSTATUS status = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, ALL_USERS_RECORD_KEY, KEY_WOW64_64KEY, 0);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}
