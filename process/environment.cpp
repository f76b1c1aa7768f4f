// Reading, setting and removing environment variables.
#include <windows.h>
#include "process/launch.h"
#include "runtime/strings.h"

// The value is read whole, however long. Should it grow between the size
// query and the read, the read is repeated with the new size.
static void read_value(const wchar_t* name, int64_t out) {
    while (true) {
        DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
        int32_t length = size > 0 ? static_cast<int32_t>(size - 1) : 0;
        wchar_t* target = temp_reserve(length, out);
        target[0] = 0;
        if (length == 0) {
            return;
        }
        DWORD got = GetEnvironmentVariableW(name, target, static_cast<DWORD>(length) + 1);
        if (got <= static_cast<DWORD>(length)) {
            temp_give_back(length - static_cast<int32_t>(got));
            target[got] = 0;
            return;
        }
    }
}

// A name built in the temporary buffer is read from a copy: the value is
// written at `out`, which may be where the name lies, and making room for
// it may move the buffer.
void env_get(const wchar_t* name, int64_t out) {
    wchar_t* copy = nullptr;
    if (temp_offset_of(name) >= 0) {
        string_init(&copy, name);
        name = copy;
    }
    read_value(name, out);
    string_free(copy);
}

int env_set(const wchar_t* name, const wchar_t* value) {
    return SetEnvironmentVariableW(name, value) ? 1 : 0;
}
