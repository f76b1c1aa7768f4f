// Copying and deleting single files.
#include "files/filesystem.h"
#include <windows.h>

int64_t file_copy(const wchar_t* source, const wchar_t* target) {
    if (source == nullptr || target == nullptr) {
        return 0;
    }
    // An existing target is overwritten, a read-only one never: Windows
    // refuses it, and Wine running as root would not, so it is checked here.
    DWORD attributes = GetFileAttributesW(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return 0;
    }
    return CopyFileW(source, target, FALSE) ? 1 : 0;
}

int64_t file_delete_ex(const wchar_t* path, int32_t flags) {
    if (path == nullptr) {
        return 0;
    }
    if (flags & 2) {
        SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    }
    return DeleteFileW(path) ? 1 : 0;
}

int64_t file_delete(const wchar_t* path) {
    return file_delete_ex(path, 0);
}
