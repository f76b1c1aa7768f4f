// Who this process runs as, from its own token: elevation, service
// accounts, and the account's SID as text.
#pragma once
#include <stddef.h>

// The token is elevated (an administrator's full token, or any account
// that is not subject to the elevation prompt, such as LocalSystem).
bool token_is_elevated();
// LocalSystem, LocalService, NetworkService or a per-service account
// (S-1-5-80-...): an account no person logs on with.
bool token_is_service_account();
// The account's SID as "S-1-5-...", NUL-terminated; false when the token
// cannot be read or the text does not fit.
bool token_user_sid(wchar_t* out, size_t capacity);
// Whether a SID text names a service account, as token_is_service_account
// decides it for the own token.
bool sid_text_is_service_account(const wchar_t* sid);
