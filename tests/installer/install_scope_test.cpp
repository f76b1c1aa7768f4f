// The choice between the user's own installation and the one for all
// users, as a table over the facts main gathers from the token, the
// parameters and the existing installations.
#include <gtest/gtest.h>
#include "installer/all_users/active_setup.h"
#include "installer/all_users/install_scope.h"
#include "process/token_identity.h"

namespace {

const wchar_t* const kUser = L"S-1-5-21-1-2-3-1001";
const wchar_t* const kAdmin = L"S-1-5-21-1-2-3-500";
const wchar_t* const kSystem = L"S-1-5-18";

struct Row {
    const char* name;
    const wchar_t* own;
    const wchar_t* launcher;
    ScopeRequest request;
    bool all_users_installed;
    bool own_installed;
    InstallScope scope;
    bool refused;
};

const Row kRows[] = {
    // New installations.
    {"admin for themselves", kAdmin, kAdmin, SCOPE_REQUEST_NONE, false, false, SCOPE_CURRENT_USER, false},
    {"installer role started directly", kAdmin, nullptr, SCOPE_REQUEST_NONE, false, false, SCOPE_CURRENT_USER, false},
    {"SID in other case", L"S-1-5-21-1-2-3-500", L"s-1-5-21-1-2-3-500", SCOPE_REQUEST_NONE, false, false, SCOPE_CURRENT_USER, false},
    {"admin credentials for a standard user", kAdmin, kUser, SCOPE_REQUEST_NONE, false, false, SCOPE_ALL_USERS, false},
    {"forged /USER=", kUser, kAdmin, SCOPE_REQUEST_NONE, false, false, SCOPE_ALL_USERS, false},
    {"LocalSystem", kSystem, kSystem, SCOPE_REQUEST_NONE, false, false, SCOPE_ALL_USERS, false},
    {"LocalSystem started directly", kSystem, nullptr, SCOPE_REQUEST_NONE, false, false, SCOPE_ALL_USERS, false},
    {"NetworkService", L"S-1-5-20", nullptr, SCOPE_REQUEST_NONE, false, false, SCOPE_ALL_USERS, false},
    {"per-service account", L"S-1-5-80-1-2-3-4-5", nullptr, SCOPE_REQUEST_NONE, false, false, SCOPE_ALL_USERS, false},
    {"/ALLUSERS for themselves", kAdmin, kAdmin, SCOPE_REQUEST_ALL_USERS, false, false, SCOPE_ALL_USERS, false},
    {"/CURRENTUSER as LocalSystem", kSystem, nullptr, SCOPE_REQUEST_CURRENT_USER, false, false, SCOPE_CURRENT_USER, false},
    {"/CURRENTUSER with a foreign /USER=", kAdmin, kUser, SCOPE_REQUEST_CURRENT_USER, false, false, SCOPE_CURRENT_USER, false},
    {"token unreadable", nullptr, kUser, SCOPE_REQUEST_NONE, false, false, SCOPE_ALL_USERS, false},
    // Existing installations are maintained where they are.
    {"all users exists, no request", kAdmin, kAdmin, SCOPE_REQUEST_NONE, true, false, SCOPE_ALL_USERS, false},
    {"all users exists, /ALLUSERS", kAdmin, kAdmin, SCOPE_REQUEST_ALL_USERS, true, false, SCOPE_ALL_USERS, false},
    {"all users exists, /CURRENTUSER", kAdmin, kAdmin, SCOPE_REQUEST_CURRENT_USER, true, false, SCOPE_ALL_USERS, true},
    {"all users before the own one", kAdmin, kAdmin, SCOPE_REQUEST_NONE, true, true, SCOPE_ALL_USERS, false},
    {"both exist, /CURRENTUSER", kAdmin, kAdmin, SCOPE_REQUEST_CURRENT_USER, true, true, SCOPE_ALL_USERS, true},
    {"own exists, no request", kAdmin, kAdmin, SCOPE_REQUEST_NONE, false, true, SCOPE_CURRENT_USER, false},
    {"own exists, /ALLUSERS", kAdmin, kAdmin, SCOPE_REQUEST_ALL_USERS, false, true, SCOPE_CURRENT_USER, true},
    {"own exists, /CURRENTUSER", kAdmin, kAdmin, SCOPE_REQUEST_CURRENT_USER, false, true, SCOPE_CURRENT_USER, false},
    {"own exists, LocalSystem", kSystem, nullptr, SCOPE_REQUEST_NONE, false, true, SCOPE_CURRENT_USER, false},
    {"own exists, foreign /USER=", kAdmin, kUser, SCOPE_REQUEST_NONE, false, true, SCOPE_CURRENT_USER, false},
};

}  // namespace

TEST(InstallScope, ChoiceTable) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        ScopeFacts facts = {row.own, sid_text_is_service_account(row.own), row.launcher,
                            row.request, row.all_users_installed, row.own_installed};
        ScopeChoice choice = install_scope_choose(facts);
        EXPECT_EQ(row.scope, choice.scope);
        EXPECT_EQ(row.refused, choice.refused);
    }
}

TEST(InstallScope, ActiveSetupVersion) {
    const struct {
        const wchar_t* display;
        const wchar_t* version;
    } rows[] = {{L"3.00", L"3,0,0,0"}, {L"3.1.2.7", L"3,1,2,7"}, {L"10.20.30.40.50", L"10,20,30,40"},
                {L"", L"0,0,0,0"}, {L"v4.5 beta", L"4,5,0,0"}};
    for (const auto& row : rows) {
        wchar_t out[48];
        active_setup_version(row.display, out);
        EXPECT_STREQ(row.version, out);
    }
}
