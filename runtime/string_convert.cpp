// Conversions of 8-bit text (UTF-8 and the ANSI code page) to UTF-16.
#include <windows.h>
#include <string.h>
#include "runtime/runtime.h"
#include "runtime/strings.h"

// The bytes, or a private copy of them when they lie in the temporary
// buffer: the wider result written at `out` could overrun them.
static const char* private_bytes(const char* bytes, char** copy) {
    *copy = nullptr;
    if (!bytes || temp_offset_of(bytes) < 0) {
        return bytes;
    }
    size_t size = strlen(bytes) + 1;
    *copy = static_cast<char*>(heap_alloc_raw(static_cast<int64_t>(size)));
    if (*copy) {
        memcpy(*copy, bytes, size);
    }
    return *copy;
}

// Plain ASCII is the same in UTF-8 and every ANSI code page this runs
// with: it is widened directly. Two conversion calls (count, then convert)
// took most of the time of reading a 64 MiB settings line.
static bool widen_ascii(const char* source, size_t size, int64_t out) {
    for (size_t i = 0; i < size; i++) {
        if (static_cast<unsigned char>(source[i]) >= 0x80) {
            return false;
        }
    }
    wchar_t* target = temp_reserve(static_cast<int64_t>(size), out);
    for (size_t i = 0; i < size; i++) {
        target[i] = static_cast<unsigned char>(source[i]);
    }
    target[size] = 0;
    return true;
}

static void convert(UINT code_page, const char* bytes, int64_t out) {
    char* copy;
    const char* source = private_bytes(bytes, &copy);
    size_t size = source ? strlen(source) : 0;
    if (size < INT32_MAX && widen_ascii(source, size, out)) {
        heap_free(copy);
        return;
    }
    int units = 0;
    if (size > 0 && size < INT32_MAX) {
        units = MultiByteToWideChar(code_page, 0, source, static_cast<int>(size), nullptr, 0);
    }
    wchar_t* target = temp_reserve(units, out);
    if (units > 0) {
        units = MultiByteToWideChar(code_page, 0, source, static_cast<int>(size), target, units);
    }
    target[units > 0 ? units : 0] = 0;
    heap_free(copy);
}

void string_from_utf8(const char* bytes, int64_t out) {
    convert(CP_UTF8, bytes, out);
}

void string_from_ansi(const char* bytes, int64_t out) {
    convert(CP_ACP, bytes, out);
}
