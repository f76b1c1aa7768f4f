// The installation kind of this run: its parameters, the facts gathered
// from the token and the existing installations, and the refusal.
#include "installer/all_users/install_scope.h"
#include <windows.h>
#include <wchar.h>
#include "files/filesystem.h"
#include "installer/all_users/all_users_record.h"
#include "installer/dialogs.h"
#include "installer/settings_file.h"
#include "installer/text.h"
#include "process/launch.h"
#include "process/token_identity.h"
#include "runtime/strings.h"

static const size_t SID_LIMIT = 192;

static struct {
    InstallScope scope;
    ScopeRequest request;
    bool launcher_given;
    wchar_t launcher_sid[SID_LIMIT];
} s_scope;

bool install_scope_all_users() {
    return s_scope.scope == SCOPE_ALL_USERS;
}

// "S-1-" and digits and dashes only: anything else is no account.
static bool sid_text(const wchar_t* value) {
    size_t length = wcslen(value);
    if (length < 5 || length >= SID_LIMIT || _wcsnicmp(value, L"S-1-", 4) != 0) {
        return false;
    }
    for (size_t at = 4; at < length; at++) {
        if (value[at] != L'-' && (value[at] < L'0' || value[at] > L'9')) {
            return false;
        }
    }
    return true;
}

bool install_scope_take_parameter(const wchar_t* parameter, bool* valid) {
    if (_wcsicmp(parameter, L"/allusers") == 0) {
        s_scope.request = SCOPE_REQUEST_ALL_USERS;
        return true;
    }
    if (_wcsicmp(parameter, L"/currentuser") == 0) {
        s_scope.request = SCOPE_REQUEST_CURRENT_USER;
        return true;
    }
    if (_wcsnicmp(parameter, L"/user=", 6) != 0) {
        return false;
    }
    if (!sid_text(parameter + 6)) {
        *valid = false;
        return true;
    }
    wcscpy(s_scope.launcher_sid, parameter + 6);
    s_scope.launcher_given = true;
    return true;
}

// This account's own installation: its settings file names a folder that
// holds the product. A settings file left behind (an all-users step's, or
// one whose product was deleted) is no installation.
static bool own_installation_exists() {
    wchar_t* folder = nullptr;
    settings_folder_of_account(&folder);
    bool exists = settings_names_product(folder);
    string_free(folder);
    return exists;
}

bool install_scope_decide() {
    wchar_t own_sid[SID_LIMIT] = L"";
    ScopeFacts facts = {};
    facts.own_sid = token_user_sid(own_sid, SID_LIMIT) ? own_sid : nullptr;
    facts.own_is_service = sid_text_is_service_account(facts.own_sid);
    facts.launcher_sid = s_scope.launcher_given ? s_scope.launcher_sid : nullptr;
    facts.request = s_scope.request;
    facts.all_users_installed = all_users_record_exists();
    facts.own_installed = !facts.all_users_installed && own_installation_exists();
    ScopeChoice choice = install_scope_choose(facts);
    s_scope.scope = choice.scope;
    installer_log(L"Installation for",
                  choice.scope == SCOPE_ALL_USERS ? L"all users" : L"the current user");
    return !choice.refused;
}

void install_scope_report_refused() {
    const wchar_t* text = s_scope.scope == SCOPE_ALL_USERS
        ? L"PikeHarbour ist bereits für alle Benutzer installiert. Eine Installation nur für "
          L"ein Benutzerkonto ist erst nach dessen Deinstallation möglich.\n"
          L"PikeHarbour is already installed for all users. Remove that installation before "
          L"installing for one user account."
        : L"PikeHarbour ist bereits für Ihr Benutzerkonto installiert. Eine Installation für "
          L"alle Benutzer ist erst nach dessen Deinstallation möglich.\n"
          L"PikeHarbour is already installed for your user account. Remove that installation "
          L"before installing for all users.";
    installer_tell(L"PikeHarbour Setup", text);
}
