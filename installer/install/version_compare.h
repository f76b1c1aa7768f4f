// Product versions compared the way people read them: part by part, each
// part as a number (3.9 is older than 3.10; 3.00 is 3.0 and 3).
#pragma once
#include <stdint.h>

enum VersionOrder : int32_t {
    VERSION_OLDER = -1,     // the first is older than the second
    VERSION_SAME = 0,
    VERSION_NEWER = 1,
    VERSION_UNKNOWN = 2,    // either is not a version (empty, letters in a part, too long)
};

// Parts are decimal numbers of up to nine digits separated by '.', at most
// eight of them; a missing part counts as 0. A suffix after '-' or '+'
// ("3.10-beta") is not compared.
VersionOrder version_compare(const wchar_t* first, const wchar_t* second);
