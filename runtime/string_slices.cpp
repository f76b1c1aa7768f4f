// String operations that copy a part of their source: length, lower case,
// left, right, middle, trimming and runs of spaces.
#include <windows.h>
#include "runtime/strings.h"

static int64_t clamp(int64_t value, int64_t low, int64_t high) {
    if (value < low) {
        return low;
    }
    return value > high ? high : value;
}

int64_t string_length(const wchar_t* s) {
    return s ? static_cast<int64_t>(wcslen(s)) : 0;
}

void string_lower(const wchar_t* s, int64_t out) {
    temp_write_slice(s, 0, string_length(s), out);
    CharLowerW(temp_address(out));
}

void string_left(const wchar_t* s, int64_t n, int64_t out) {
    temp_write_slice(s, 0, clamp(n, 0, string_length(s)), out);
}

void string_right(const wchar_t* s, int64_t n, int64_t out) {
    int64_t length = string_length(s);
    int64_t count = clamp(n, 0, length);
    temp_write_slice(s, length - count, count, out);
}

void string_mid(const wchar_t* s, int64_t start, int64_t n, int64_t out) {
    int64_t length = string_length(s);
    int64_t first = clamp(start - 1, 0, length);
    int64_t count = clamp(n, 0, length - first);
    temp_write_slice(s, first, count, out);
}

// Both ends (`left_only` 0) or the leading end of s without the first unit
// of c, a space when c is null or empty.
static void trim_units(const wchar_t* s, const wchar_t* c, int left_only, int64_t out) {
    wchar_t unit = (c && c[0]) ? c[0] : L' ';
    int64_t length = string_length(s);
    int64_t first = 0;
    while (first < length && s[first] == unit) {
        first++;
    }
    int64_t end = length;
    while (!left_only && end > first && s[end - 1] == unit) {
        end--;
    }
    temp_write_slice(s, first, end - first, out);
}

void string_trim(const wchar_t* s, int64_t out) {
    trim_units(s, nullptr, 0, out);
}

void string_trim_char(const wchar_t* s, const wchar_t* c, int64_t out) {
    trim_units(s, c, 0, out);
}

void string_trim_left(const wchar_t* s, const wchar_t* c, int64_t out) {
    trim_units(s, c, 1, out);
}

void string_spaces(int64_t n, int64_t out) {
    int64_t count = n < 0 ? 0 : n;
    wchar_t* target = temp_reserve_units(count, out);
    for (int64_t i = 0; i < count; i++) {
        target[i] = L' ';
    }
    target[count] = 0;
}
