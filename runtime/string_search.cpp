// Finding a text inside another.
#include <wchar.h>
#include "runtime/strings.h"

int64_t string_find(const wchar_t* s, const wchar_t* pattern) {
    return string_find_from(s, pattern, 1);
}

int64_t string_find_from(const wchar_t* s, const wchar_t* pattern, int64_t start) {
    if (!s || !pattern || !s[0] || !pattern[0]) {
        return 0;
    }
    int64_t first = start < 1 ? 1 : start;
    if (first > string_length(s)) {
        return 0;
    }
    const wchar_t* found = wcsstr(s + first - 1, pattern);
    return found ? (found - s) + 1 : 0;
}
