// Splitting a path into its folder part and its file part.
#include <string.h>
#include "files/filesystem.h"
#include "files/path_buffer.h"
#include "runtime/strings.h"

enum : int32_t { FILE_PART_NO_EXTENSION = 1 };

// The source may lie in the temporary buffer at or after `out`; its offset
// survives a reservation that moves the buffer.
static int64_t buffer_offset(const wchar_t* source) {
    const char* start = reinterpret_cast<const char*>(temp_address(0));
    const char* address = reinterpret_cast<const char*>(source);
    if (address >= start && address <= start + temp_position()) {
        return address - start;
    }
    return -1;
}

// Writes `length` units of source from `first` at out; source may overlap.
static void write_span(const wchar_t* source, int64_t first, int64_t length, int64_t out) {
    int64_t offset = buffer_offset(source);
    wchar_t* target = temp_reserve(static_cast<int32_t>(length), out);
    if (offset >= 0) {
        source = reinterpret_cast<const wchar_t*>(
            reinterpret_cast<const char*>(temp_address(0)) + offset);
    }
    memmove(target, source + first, static_cast<size_t>(length) * sizeof(wchar_t));
    target[length] = 0;
}

void path_directory_part(const wchar_t* path, int64_t out) {
    if (path == nullptr) {
        write_span(L"", 0, 0, out);
        return;
    }
    int64_t first = path[0] == L'"' ? 1 : 0;
    int64_t end = first;
    for (int64_t i = first; path[i] != 0 && path[i] != L'|'; i++) {
        if (path_is_separator(path[i])) {
            end = i + 1;
        }
    }
    write_span(path, first, end - first, out);
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
        write_span(L"", 0, 0, out);
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
    write_span(path, first, end - first, out);
}
