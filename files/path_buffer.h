// Fixed path buffers of MAX_PATH characters (and a terminator) for the
// file-system operations. Longer paths are cut at MAX_PATH characters.
#pragma once
#include <windows.h>
#include <stdint.h>

constexpr int32_t PATH_LIMIT = MAX_PATH;

struct PathBuffer {
    wchar_t text[PATH_LIMIT + 1];
    int32_t length;
};

// Copies at most PATH_LIMIT characters of source (null reads as empty).
void path_buffer_set(PathBuffer* buffer, const wchar_t* source);
// Copies source whole; false (and an empty buffer) for a path of PATH_LIMIT
// characters or more, which the system calls would not take whole either:
// a cut name must never be created, deleted or started.
bool path_buffer_set_whole(PathBuffer* buffer, const wchar_t* source);
// Joins two texts; false (and an empty buffer) when the result would not
// fit, so that a cut path never names some other file.
bool path_buffer_join(PathBuffer* buffer, const wchar_t* first, const wchar_t* second);
bool path_buffer_ends_with_separator(const PathBuffer* buffer);
bool path_is_separator(wchar_t c);
