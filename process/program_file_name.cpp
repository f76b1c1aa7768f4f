// The full path of the running executable.
#include <string.h>
#include <windows.h>
#include "process/command_line.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

// Removes a leading "\\?\"; "\\?\UNC\server\share" becomes "\\server\share"
// (dropping only the four characters would leave "UNC\server\share").
static int32_t drop_long_prefix(wchar_t* path, int32_t length) {
    if (length >= 8 && wcsncmp(path, L"\\\\?\\UNC\\", 8) == 0) {
        memmove(path + 2, path + 8, static_cast<size_t>(length - 8) * sizeof(wchar_t));
        return length - 6;
    }
    if (length >= 4 && wcsncmp(path, L"\\\\?\\", 4) == 0) {
        memmove(path, path + 4, static_cast<size_t>(length - 4) * sizeof(wchar_t));
        return length - 4;
    }
    return length;
}

// A name of MAX_PATH characters or more comes back cut (the call fills the
// buffer): it is given as empty, so that a cut name is never started again.
void program_file_name(int64_t out) {
    wchar_t* target = temp_reserve(MAX_PATH, out);
    int32_t length = static_cast<int32_t>(GetModuleFileNameW(g_runtime.instance, target, MAX_PATH));
    if (length >= MAX_PATH) {
        length = 0;
    }
    length = drop_long_prefix(target, length);
    temp_give_back(MAX_PATH - length);
    target[length] = 0;
}
