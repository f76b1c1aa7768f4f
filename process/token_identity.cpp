// Token queries for the role decisions: a launcher that already runs
// elevated (or as a service) starts the installer role directly, and the
// installer role compares its own account with the launcher's.
#include "process/token_identity.h"
#include <windows.h>
#include <sddl.h>
#include <wchar.h>

// "S-1-" and at most 15 sub-authorities of ten digits each, with dashes.
static const size_t SID_TEXT_LIMIT = 192;

// The SID of the process token's user in `buffer`; null when unreadable.
static PSID token_user(BYTE* buffer, DWORD size) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return nullptr;
    }
    DWORD needed = 0;
    BOOL read = GetTokenInformation(token, TokenUser, buffer, size, &needed);
    CloseHandle(token);
    return read ? reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid : nullptr;
}

bool token_is_elevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    TOKEN_ELEVATION elevation = {};
    DWORD needed = 0;
    BOOL read = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &needed);
    CloseHandle(token);
    return read && elevation.TokenIsElevated != 0;
}

bool sid_text_is_service_account(const wchar_t* sid) {
    if (sid == nullptr) {
        return false;
    }
    return _wcsicmp(sid, L"S-1-5-18") == 0 || _wcsicmp(sid, L"S-1-5-19") == 0 ||
           _wcsicmp(sid, L"S-1-5-20") == 0 || _wcsnicmp(sid, L"S-1-5-80-", 9) == 0;
}

bool token_user_sid(wchar_t* out, size_t capacity) {
    BYTE buffer[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    PSID sid = token_user(buffer, sizeof buffer);
    wchar_t* text = nullptr;
    if (capacity == 0 || sid == nullptr || !ConvertSidToStringSidW(sid, &text)) {
        return false;
    }
    size_t length = wcslen(text);
    bool fits = length < capacity;
    if (fits) {
        wmemcpy(out, text, length + 1);
    }
    LocalFree(text);
    return fits;
}

bool token_is_service_account() {
    wchar_t sid[SID_TEXT_LIMIT];
    return token_user_sid(sid, SID_TEXT_LIMIT) &&
           sid_text_is_service_account(sid);
}
