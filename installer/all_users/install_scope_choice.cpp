// The choice between the user's own installation and the one for all
// users, over plain facts, so that the same function is tested as a table.
#include <wchar.h>
#include "installer/all_users/install_scope.h"

static bool same_account(const wchar_t* own, const wchar_t* launcher) {
    return own != nullptr && launcher != nullptr && _wcsicmp(own, launcher) == 0;
}

// Choosing all users is never less safe than the user's own installation:
// a forged /USER= only moves the state into places that administrators
// control.
static InstallScope new_installation_scope(const ScopeFacts& facts) {
    if (facts.request == SCOPE_REQUEST_ALL_USERS) {
        return SCOPE_ALL_USERS;
    }
    if (facts.request == SCOPE_REQUEST_CURRENT_USER) {
        return SCOPE_CURRENT_USER;
    }
    if (facts.own_is_service) {
        return SCOPE_ALL_USERS;
    }
    if (facts.launcher_sid != nullptr && !same_account(facts.own_sid, facts.launcher_sid)) {
        return SCOPE_ALL_USERS;
    }
    return SCOPE_CURRENT_USER;
}

ScopeChoice install_scope_choose(const ScopeFacts& facts) {
    ScopeChoice choice = {new_installation_scope(facts), false};
    if (!facts.all_users_installed && !facts.own_installed) {
        return choice;
    }
    InstallScope existing = facts.all_users_installed ? SCOPE_ALL_USERS : SCOPE_CURRENT_USER;
    ScopeRequest other = existing == SCOPE_ALL_USERS ? SCOPE_REQUEST_CURRENT_USER
                                                     : SCOPE_REQUEST_ALL_USERS;
    choice.scope = existing;
    choice.refused = facts.request == other;
    return choice;
}
