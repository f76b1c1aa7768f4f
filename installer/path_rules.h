// What counts as one plain local path: the rules every path from the user
// (/D=, the path field, /LOG=, the settings file's folder line) must meet
// before the elevated setup creates, writes or deletes anything under it.
#pragma once
#include <stdint.h>

enum PathVerdict : int32_t {
    PATH_PLAIN = 0,
    PATH_NOT_LOCAL_ABSOLUTE,   // relative, rooted, a server share, a device path
    PATH_BAD_SEGMENT,          // ".", "..", or ending in a dot or space
    PATH_BAD_CHARACTER,        // control character, < > : " | ? * / after the drive
    PATH_DEVICE_NAME,          // CON, NUL, COM1, LPT1, ... (with any extension)
    PATH_TOO_LONG,             // beyond the given limit
};

// One plain absolute local path of at most `limit` characters; doubled
// and trailing backslashes are allowed (Windows reads them as one).
PathVerdict path_rules_check(const wchar_t* path, int64_t limit);
// A short English reason for the log.
const wchar_t* path_rules_reason(PathVerdict verdict);

// The product's folder with its backslash, wherever it comes from (/D=, the
// path field, the settings file, the all-users record): Windows' limit for
// a file path without the long-path opt-in (MAX_PATH - 1 = 259 characters)
// less the product's name (17), whatever Wine would accept.
constexpr int64_t PRODUCT_FOLDER_LIMIT = 259 - 17;
