// Splitting a path into its folder part and its file part.
#include <string.h>
#include "files/filesystem.h"
#include "files/path_buffer.h"
#include "runtime/strings.h"

enum : int32_t { FILE_PART_NO_EXTENSION = 1 };

void path_directory_part(const wchar_t* path, int64_t out) {
    if (path == nullptr) {
        temp_write_slice(L"", 0, 0, out);
        return;
    }
    int64_t first = path[0] == L'"' ? 1 : 0;
    int64_t end = first;
    for (int64_t i = first; path[i] != 0 && path[i] != L'|'; i++) {
        if (path_is_separator(path[i])) {
            end = i + 1;
        }
    }
    temp_write_slice(path, first, end - first, out);
}

static int64_t without_extension(const wchar_t* path, int64_t first, int64_t end) {
    for (int64_t i = end - 1; i >= first; i--) {
        if (path[i] == L' ') {
            return end;
        }
        if (path[i] == L'.') {
            return i == end - 1 ? end : i;
        }
    }
    return end;
}

void path_file_part(const wchar_t* path, int32_t flags, int64_t out) {
    if (path == nullptr) {
        temp_write_slice(L"", 0, 0, out);
        return;
    }
    int64_t first = path[0] == L'"' ? 1 : 0;
    int64_t end = first;
    for (; path[end] != 0 && path[end] != L'"'; end++) {
        if (path_is_separator(path[end])) {
            first = end + 1;
        }
    }
    if (flags & FILE_PART_NO_EXTENSION) {
        end = without_extension(path, first, end);
    }
    temp_write_slice(path, first, end - first, out);
}
