// Copying into a newly created file, for the safety copy in the profile.
#include "files/link_safe.h"

static const DWORD COPY_CHUNK = 64 * 1024;

static bool copy_bytes(HANDLE source, HANDLE target) {
    static uint8_t chunk[COPY_CHUNK];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source, chunk, COPY_CHUNK, &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        DWORD written = 0;
        if (!WriteFile(target, chunk, got, &written, nullptr) || written != got) {
            return false;
        }
    }
}

// A copy that fails part way is deleted through its own handle: no partial
// file stays behind under the fixed name.
int64_t file_copy_new(const wchar_t* source, const wchar_t* target) {
    if (source == nullptr || target == nullptr) {
        return 0;
    }
    HANDLE from = CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (from == INVALID_HANDLE_VALUE) {
        return 0;
    }
    HANDLE to = handle_create_new(target, GENERIC_WRITE, 0);
    bool copied = to != INVALID_HANDLE_VALUE && copy_bytes(from, to);
    CloseHandle(from);
    if (to == INVALID_HANDLE_VALUE) {
        return 0;
    }
    if (!copied) {
        handle_delete(to);
    }
    CloseHandle(to);
    return copied ? 1 : 0;
}
