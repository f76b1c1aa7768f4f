// The size-or-kind test: bytes of a file, PATH_SIZE_MISSING for nothing
// there, PATH_SIZE_FOLDER for a folder or a drive root.
#include "files/filesystem.h"
#include "files/path_buffer.h"

static int64_t drive_result(const wchar_t* root) {
    return GetDriveTypeW(root) > DRIVE_NO_ROOT_DIR ? PATH_SIZE_FOLDER : PATH_SIZE_MISSING;
}

static bool is_drive_only(const PathBuffer* copy) {
    return (copy->length == 2 || copy->length == 3) && copy->text[1] == L':';
}

static void strip_trailing_separators(PathBuffer* copy) {
    while (copy->length > 0 && path_is_separator(copy->text[copy->length - 1])) {
        copy->length--;
        copy->text[copy->length] = 0;
    }
}

// Network shares and ".." paths that FindFirstFileW does not list.
static int64_t attribute_result(const PathBuffer* copy) {
    DWORD attributes = GetFileAttributesW(copy->text);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PATH_SIZE_FOLDER : PATH_SIZE_MISSING;
    }
    return drive_result(copy->text);
}

int64_t path_size(const wchar_t* path) {
    if (path == nullptr || path[0] == 0) {
        return PATH_SIZE_MISSING;
    }
    PathBuffer copy;
    if (!path_buffer_set_whole(&copy, path)) {
        return PATH_SIZE_MISSING;
    }
    if (is_drive_only(&copy)) {
        if (copy.length == 2) {
            copy.text[2] = L'\\';
            copy.text[3] = 0;
        }
        return drive_result(copy.text);
    }
    strip_trailing_separators(&copy);
    if (copy.length == 0) {
        return PATH_SIZE_MISSING;
    }
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(copy.text, &entry);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            return PATH_SIZE_FOLDER;
        }
        return (static_cast<int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    }
    bool network = copy.text[0] == L'\\' && copy.text[1] == L'\\';
    bool dots = copy.text[0] == L'.' && copy.text[1] == L'.';
    if (network || dots) {
        return attribute_result(&copy);
    }
    return PATH_SIZE_MISSING;
}
