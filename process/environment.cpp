// Reading, setting and removing environment variables.
#include <windows.h>
#include "process/launch.h"
#include "runtime/strings.h"

// The value is read whole, however long. Should it grow between the size
// query and the read, the read is repeated with the new size.
void env_get(const wchar_t* name, int64_t out) {
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

int env_set(const wchar_t* name, const wchar_t* value) {
    return SetEnvironmentVariableW(name, value) ? 1 : 0;
}
