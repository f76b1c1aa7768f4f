// Reading and writing signed 64-bit integers as text.
#include "runtime/strings.h"

static int digit_value(wchar_t unit, int base) {
    int value = 99;
    if (unit >= L'0' && unit <= L'9') {
        value = unit - L'0';
    } else if (unit >= L'a' && unit <= L'f') {
        value = unit - L'a' + 10;
    } else if (unit >= L'A' && unit <= L'F') {
        value = unit - L'A' + 10;
    }
    return value < base ? value : -1;
}

// Leading spaces and tabs, a sign, then "$" for hexadecimal, "%" for
// binary or decimal digits; the value wraps in 64 bits.
int64_t string_to_integer(const wchar_t* s) {
    if (!s) {
        return 0;
    }
    while (*s == L' ' || *s == L'\t') {
        s++;
    }
    int negative = *s == L'-';
    if (*s == L'-' || *s == L'+') {
        s++;
    }
    int base = 10;
    if (*s == L'$' || *s == L'%') {
        base = *s == L'$' ? 16 : 2;
        s++;
    }
    uint64_t value = 0;
    for (int digit = digit_value(*s, base); digit >= 0; digit = digit_value(*++s, base)) {
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    return static_cast<int64_t>(negative ? 0 - value : value);
}

void string_from_integer(int64_t v, int64_t out) {
    wchar_t digits[24];
    int count = 0;
    uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    int sign = v < 0;
    wchar_t* target = temp_reserve(64, out);
    if (sign) {
        target[0] = L'-';
    }
    for (int i = 0; i < count; i++) {
        target[sign + i] = digits[count - 1 - i];
    }
    target[sign + count] = 0;
    temp_give_back(64 - sign - count);
}
