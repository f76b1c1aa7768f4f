// Numeric, part-by-part version order. Pure: no state, no allocation.
#include "installer/install/version_compare.h"

namespace {
constexpr int32_t MAX_PARTS = 8;
constexpr int32_t MAX_DIGITS = 9;  // below 2^32 whatever the digits

struct ParsedVersion {
    uint32_t parts[MAX_PARTS];
    int32_t count;
};
}  // namespace

// False for anything that is not digits and dots up to an optional suffix.
static bool parse_version(const wchar_t* text, ParsedVersion* out) {
    *out = {};
    if (text == nullptr) {
        return false;
    }
    const wchar_t* c = text;
    while (true) {
        int32_t digits = 0;
        uint32_t value = 0;
        for (; *c >= L'0' && *c <= L'9'; c++) {
            if (++digits > MAX_DIGITS) {
                return false;
            }
            value = value * 10 + static_cast<uint32_t>(*c - L'0');
        }
        if (digits == 0 || out->count == MAX_PARTS) {
            return false;
        }
        out->parts[out->count++] = value;
        if (*c != L'.') {
            break;
        }
        c++;
    }
    return *c == 0 || *c == L'-' || *c == L'+';
}

VersionOrder version_compare(const wchar_t* first, const wchar_t* second) {
    ParsedVersion a;
    ParsedVersion b;
    if (!parse_version(first, &a) || !parse_version(second, &b)) {
        return VERSION_UNKNOWN;
    }
    // Parts past the shorter one's end were zeroed by the parse.
    for (int32_t i = 0; i < MAX_PARTS; i++) {
        if (a.parts[i] != b.parts[i]) {
            return a.parts[i] < b.parts[i] ? VERSION_OLDER : VERSION_NEWER;
        }
    }
    return VERSION_SAME;
}
