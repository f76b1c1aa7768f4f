// Plain local paths. Windows quietly changes some names: it strips dots and
// spaces at a segment's end ("x..." makes "x"), turns "NUL" or "con.txt" in
// any folder into a device, reads "file:stream" as a stream of "file" and
// lets "\\?\" and "\\.\" skip its own checks. A path that holds any of
// these never names what it says, so it is refused whole, before anything
// is made.
#include "installer/path_rules.h"
#include <wchar.h>

static bool is_letter(wchar_t c) {
    wchar_t lower = static_cast<wchar_t>(c | 0x20);
    return lower >= L'a' && lower <= L'z';
}

static bool is_forbidden(wchar_t c) {
    return c < 0x20 || c == 0x7F || wcschr(L"<>:\"|?*/", c) != nullptr;
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$ and the superscript
// digits Windows also takes, with or without an extension.
static bool is_device_name(const wchar_t* segment, size_t length) {
    size_t base = 0;
    while (base < length && segment[base] != L'.') {
        base++;
    }
    while (base > 0 && segment[base - 1] == L' ') {
        base--;
    }
    wchar_t name[8] = {};
    if (base < 3 || base > 7) {
        return false;
    }
    for (size_t i = 0; i < base; i++) {
        name[i] = static_cast<wchar_t>(towupper(segment[i]));
    }
    static const wchar_t* const plain[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : plain) {
        if (wcscmp(name, device) == 0) {
            return true;
        }
    }
    bool numbered = base == 4 && (wcsncmp(name, L"COM", 3) == 0 || wcsncmp(name, L"LPT", 3) == 0);
    wchar_t digit = name[3];
    return numbered && ((digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 ||
                        digit == 0xB3);
}

// An empty segment (a doubled backslash) is no name: Windows reads the
// backslashes as one.
static PathVerdict check_segment(const wchar_t* segment, size_t length) {
    if (length == 0) {
        return PATH_PLAIN;
    }
    for (size_t i = 0; i < length; i++) {
        if (is_forbidden(segment[i])) {
            return PATH_BAD_CHARACTER;
        }
    }
    wchar_t last = segment[length - 1];
    if (last == L'.' || last == L' ') {
        return PATH_BAD_SEGMENT;   // also "." and ".."
    }
    return is_device_name(segment, length) ? PATH_DEVICE_NAME : PATH_PLAIN;
}

PathVerdict path_rules_check(const wchar_t* path, int64_t limit) {
    if (path == nullptr || !is_letter(path[0]) || path[1] != L':' || path[2] != L'\\') {
        return PATH_NOT_LOCAL_ABSOLUTE;
    }
    size_t length = wcslen(path);
    if (static_cast<int64_t>(length) > limit) {
        return PATH_TOO_LONG;
    }
    size_t end = length;
    while (end > 3 && path[end - 1] == L'\\') {
        end--;
    }
    size_t start = 3;
    while (start < end) {
        const wchar_t* separator = wcschr(path + start, L'\\');
        size_t stop = separator == nullptr || static_cast<size_t>(separator - path) > end
                          ? end : static_cast<size_t>(separator - path);
        PathVerdict verdict = check_segment(path + start, stop - start);
        if (verdict != PATH_PLAIN) {
            return verdict;
        }
        start = stop + 1;
    }
    return PATH_PLAIN;
}

const wchar_t* path_rules_reason(PathVerdict verdict) {
    switch (verdict) {
    case PATH_PLAIN: return L"plain local path";
    case PATH_NOT_LOCAL_ABSOLUTE: return L"not an absolute local path (X:\\...)";
    case PATH_BAD_SEGMENT: return L"an empty, '.' or '..' segment, or one ending in a dot or space";
    case PATH_BAD_CHARACTER: return L"a character Windows does not allow in names";
    case PATH_DEVICE_NAME: return L"a device name (CON, NUL, COM1, ...)";
    case PATH_TOO_LONG: return L"longer than Windows allows";
    }
    return L"";
}
