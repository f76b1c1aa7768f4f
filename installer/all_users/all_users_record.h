// The all-users installation's record: HKLM\Software\PikeHarbour (64-bit
// view), the folder and the language that a per-user installation keeps in
// its settings file. HKLM\Software is writable only by administrators and
// the system, and so is the key, which inherits its access list.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

// Longest folder the record holds, with its NUL.
constexpr size_t RECORD_FOLDER_LIMIT = 260;

struct AllUsersRecord {
    wchar_t folder[RECORD_FOLDER_LIMIT];    // "X:\...\", with its backslash
    int64_t language;                       // 0 German, 1 English
};

// False when there is no record or its folder is not one plain local path.
bool all_users_record_read(AllUsersRecord* record);
bool all_users_record_exists();
bool all_users_record_write(const wchar_t* folder, int64_t language);
// ERROR_SUCCESS when the record is gone or was never there.
LSTATUS all_users_record_delete();
