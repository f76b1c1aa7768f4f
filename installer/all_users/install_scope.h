// Which installation a run makes or maintains: the user's own (settings
// file, desktop shortcut, entry in HKCU) or the one for all users (record
// and entry in HKLM, public desktop, per-user settings at each logon).
#pragma once
#include <stdint.h>

enum InstallScope : int32_t { SCOPE_CURRENT_USER = 0, SCOPE_ALL_USERS = 1 };
enum ScopeRequest : int32_t {
    SCOPE_REQUEST_NONE = 0, SCOPE_REQUEST_ALL_USERS = 1, SCOPE_REQUEST_CURRENT_USER = 2,
};

// An installation of the other kind exists than the one asked for.
constexpr int32_t EXIT_OTHER_SCOPE_INSTALLED = 10;

struct ScopeFacts {
    const wchar_t* own_sid;         // the installer role's account
    bool own_is_service;            // LocalSystem or another service account
    const wchar_t* launcher_sid;    // /USER= from the launcher; null when not given
    ScopeRequest request;           // /ALLUSERS, /CURRENTUSER or neither
    bool all_users_installed;       // the all-users record exists
    bool own_installed;             // this account's settings file names a product
};

struct ScopeChoice {
    InstallScope scope;
    bool refused;       // the request names the other kind than the existing one
};

// An existing installation is maintained where it is, the all-users one
// first; a request only chooses for a new one. Without a request a service
// account, or an account other than the launcher's, installs for all users:
// the per-user places would be another profile than the user's.
ScopeChoice install_scope_choose(const ScopeFacts& facts);

// The choice of this run, made once by install_scope_decide.
bool install_scope_all_users();
// Takes /ALLUSERS, /CURRENTUSER and /USER=<sid> (names in any case, the
// last one given counts); false when the parameter is none of them.
bool install_scope_take_parameter(const wchar_t* parameter, bool* valid);
// Gathers the facts from the token, the parameters and the existing
// installations and makes the choice; false when it is refused.
bool install_scope_decide();
// Tells the user (both languages: none is chosen yet) that the other kind
// of installation exists.
void install_scope_report_refused();
