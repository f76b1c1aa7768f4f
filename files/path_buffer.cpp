// Bounded path copies for the file-system operations.
#include <string.h>
#include <wchar.h>
#include "files/path_buffer.h"

bool path_is_separator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

void path_buffer_set(PathBuffer* buffer, const wchar_t* source) {
    int32_t length = 0;
    while (source != nullptr && length < PATH_LIMIT && source[length] != 0) {
        buffer->text[length] = source[length];
        length++;
    }
    buffer->text[length] = 0;
    buffer->length = length;
}

bool path_buffer_set_whole(PathBuffer* buffer, const wchar_t* source) {
    path_buffer_set(buffer, source);
    if (buffer->length < PATH_LIMIT) {
        return true;
    }
    buffer->text[0] = 0;
    buffer->length = 0;
    return false;
}

bool path_buffer_join(PathBuffer* buffer, const wchar_t* first, const wchar_t* second) {
    size_t first_length = wcslen(first);
    size_t second_length = wcslen(second);
    buffer->text[0] = 0;
    buffer->length = 0;
    if (first_length > PATH_LIMIT || second_length > PATH_LIMIT - first_length) {
        return false;
    }
    memcpy(buffer->text, first, first_length * sizeof(wchar_t));
    memcpy(buffer->text + first_length, second, second_length * sizeof(wchar_t));
    buffer->length = static_cast<int32_t>(first_length + second_length);
    buffer->text[buffer->length] = 0;
    return true;
}

bool path_buffer_ends_with_separator(const PathBuffer* buffer) {
    return buffer->length > 0 && path_is_separator(buffer->text[buffer->length - 1]);
}
