// Creating one folder, and deleting a folder's files and the folder.
#include <wchar.h>
#include "files/filesystem.h"
#include "files/path_buffer.h"

enum : int32_t { DELETE_RECURSIVE = 1, DELETE_CLEAR_ATTRIBUTES = 2 };

int64_t directory_create(const wchar_t* path) {
    PathBuffer copy;
    if (!path_buffer_set_whole(&copy, path)) {
        return 0;
    }
    while (copy.length > 0) {
        wchar_t last = copy.text[copy.length - 1];
        if (last != L' ' && !path_is_separator(last)) {
            break;
        }
        copy.length--;
        copy.text[copy.length] = 0;
    }
    return CreateDirectoryW(copy.text, nullptr) ? 1 : 0;
}

static bool is_dot_entry(const wchar_t* name) {
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

static bool is_all_pattern(const wchar_t* pattern) {
    return pattern == nullptr || pattern[0] == 0 || wcscmp(pattern, L"*.*") == 0;
}

// With a pattern and the recursive flag, every subfolder gets the same call.
static void delete_in_subfolders(const PathBuffer* prefix, const wchar_t* pattern,
                                 int32_t flags) {
    PathBuffer search;
    if (!path_buffer_join(&search, prefix->text, L"*.*")) {
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE listing = FindFirstFileW(search.text, &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        PathBuffer full;
        if (folder && !is_dot_entry(entry.cFileName) &&
            path_buffer_join(&full, prefix->text, entry.cFileName)) {
            directory_delete(full.text, pattern, flags);
        }
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
}

// A linked folder (junction or symbolic link) is removed as a link: the
// recursive delete never walks into the folder it points to.
static void delete_subfolder(const wchar_t* path, const WIN32_FIND_DATAW* entry,
                             const wchar_t* pattern, int32_t flags) {
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveDirectoryW(path);
        return;
    }
    directory_delete(path, pattern, flags);
}

static void delete_entry(const PathBuffer* prefix, const WIN32_FIND_DATAW* entry,
                         bool all, const wchar_t* pattern, int32_t flags) {
    PathBuffer full;
    // A name that would not fit is skipped: the cut path could name another file.
    if (!path_buffer_join(&full, prefix->text, entry->cFileName)) {
        return;
    }
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!is_dot_entry(entry->cFileName) && all && (flags & DELETE_RECURSIVE)) {
            delete_subfolder(full.text, entry, pattern, flags);
        }
        return;
    }
    if (flags & DELETE_CLEAR_ATTRIBUTES) {
        SetFileAttributesW(full.text, FILE_ATTRIBUTE_NORMAL);
    }
    DeleteFileW(full.text);
}

static bool delete_matching(const PathBuffer* prefix, const wchar_t* pattern, bool all,
                            int32_t flags) {
    PathBuffer search;
    if (!path_buffer_join(&search, prefix->text, all ? L"*.*" : pattern)) {
        return false;
    }
    WIN32_FIND_DATAW entry;
    HANDLE listing = FindFirstFileW(search.text, &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        delete_entry(prefix, &entry, all, pattern, flags);
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    return true;
}

int64_t directory_delete(const wchar_t* folder, const wchar_t* pattern, int32_t flags) {
    if (folder == nullptr || folder[0] == 0) {
        return 0;
    }
    PathBuffer prefix;
    path_buffer_set(&prefix, folder);
    if (!path_buffer_ends_with_separator(&prefix) && prefix.length < PATH_LIMIT) {
        prefix.text[prefix.length] = L'\\';
        prefix.length++;
        prefix.text[prefix.length] = 0;
    }
    bool all = is_all_pattern(pattern);
    if (!all && (flags & DELETE_RECURSIVE)) {
        delete_in_subfolders(&prefix, pattern, flags);
    }
    if (!delete_matching(&prefix, pattern, all, flags)) {
        return 0;
    }
    if (flags & DELETE_CLEAR_ATTRIBUTES) {
        SetFileAttributesW(prefix.text, FILE_ATTRIBUTE_NORMAL);
    }
    if (!all) {
        return 1;
    }
    return RemoveDirectoryW(prefix.text) ? 1 : 0;
}
