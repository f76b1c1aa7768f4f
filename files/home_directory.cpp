// The user's profile folder, with a trailing backslash.
#include <wchar.h>
#include <windows.h>
#include <shlobj.h>
#include "files/filesystem.h"
#include "runtime/strings.h"

// Room for a full MAX_PATH path plus the backslash that may be added.
static const int32_t HOME_RESERVE = MAX_PATH + 1;

static int32_t folder_path(int folder, wchar_t* target) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (SHGetFolderLocation(nullptr, folder, nullptr, 0, &items) != S_OK) {
        return 0;
    }
    int32_t length = 0;
    if (SHGetPathFromIDListW(items, target)) {
        length = static_cast<int32_t>(wcslen(target));
    }
    CoTaskMemFree(items);
    if (length > 0 && target[length - 1] != L'\\') {
        target[length] = L'\\';
        length++;
    }
    return length;
}

void shell_folder(int32_t folder, int64_t out) {
    wchar_t* target = temp_reserve(HOME_RESERVE, out);
    target[0] = 0;
    int32_t length = folder_path(folder, target);
    temp_give_back(HOME_RESERVE - length);
    target[length] = 0;
}

void home_directory(int64_t out) {
    shell_folder(CSIDL_PROFILE, out);
}
