// Stateless path operations: size test, copy, delete, folders, profile.
#pragma once
#include <stdint.h>

// What path_size answers instead of a file's byte count.
enum : int64_t {
    PATH_SIZE_MISSING = -1,   // nothing there, or a path that cannot be asked about
    PATH_SIZE_FOLDER = -2,    // a folder or a drive root
};
// Paths of MAX_PATH characters or more are refused: path_size reports
// nothing there, directory_create fails.
int64_t path_size(const wchar_t* path);          // bytes, or one of PATH_SIZE_*
int64_t file_copy(const wchar_t* source, const wchar_t* target);
int64_t file_delete(const wchar_t* path);
int64_t file_delete_ex(const wchar_t* path, int32_t flags);   // flag 2: clear attributes
int64_t directory_create(const wchar_t* path);
int64_t directory_delete(const wchar_t* folder, const wchar_t* pattern, int32_t flags);
void home_directory(int64_t out);
void path_directory_part(const wchar_t* path, int64_t out);
void path_file_part(const wchar_t* path, int32_t flags, int64_t out);
// Any shell folder number (CSIDL_...), with a trailing backslash.
void shell_folder(int32_t folder, int64_t out);
