// The setup's two roles, end to end under Wine: copies of the built setup
// are started with exact command lines; whatever process a copy starts is
// caught at creation (see launcher_watch.cpp) and its command line read.
// Also: libraries planted beside the setup under system names never load.
#include <windows.h>
#include <sddl.h>
#include <gtest/gtest.h>
#include <string>
#include "tests/e2e/launcher_watch.h"
#include "support/child_process.h"

namespace {

const std::wstring kFolder = L"C:\\ph_launcher";

std::wstring unix_to_windows_path(const char* path) {
    std::wstring result = L"Z:";
    for (const char* c = path; *c; c++) {
        result += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return result;
}

// A fresh copy of the setup in its own folder of drive C.
std::wstring setup_copy(const std::wstring& folder) {
    CreateDirectoryW(kFolder.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\PikeHarbour_Setup.exe";
    EXPECT_TRUE(CopyFileW(unix_to_windows_path(PH_SETUP_EXE).c_str(), copy.c_str(), FALSE));
    return copy;
}

// The account the launcher passes on as /USER=: the test's own, since
// Wine runs every process as one user.
std::wstring own_sid() {
    HANDLE token = nullptr;
    BYTE buffer[256];
    DWORD size = 0;
    wchar_t* text = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return L"";
    }
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text);
    }
    CloseHandle(token);
    std::wstring sid = text != nullptr ? text : L"";
    LocalFree(text);
    return sid;
}

struct RoleCase {
    const wchar_t* parameters;          // written after the quoted program path
    const wchar_t* child_parameters;    // what the relaunched copy must get
};

// Started by the user in these ways, the setup acts as launcher: it starts
// one copy of itself whose first parameter is -admin, waits for it and ends
// with exit code 0. Without parameters the copy gets exactly "-admin" and
// the launcher's account; others are passed along between the two.
const RoleCase kLauncherCases[] = {
    {L"", L"-admin"},
    {L"-ADMIN", L"-admin -ADMIN"},
    {L"-Admin", L"-admin -Admin"},
    {L"x -admin", L"-admin x -admin"},
    {L"-admin2", L"-admin -admin2"},
};

}  // namespace

TEST(LauncherRole, RelaunchesItselfWithAdminAndEndsWithTheCopy) {
    std::wstring copy = setup_copy(kFolder + L"\\roles");
    std::wstring account = L" /USER=" + own_sid();
    ASSERT_GT(account.size(), 12u);
    for (const RoleCase& row : kLauncherCases) {
        std::wstring command = L"\"" + copy + L"\"";
        if (*row.parameters) {
            command += L" " + std::wstring(row.parameters);
        }
        SCOPED_TRACE(testing::Message() << "command line: " << testing::PrintToString(command));
        LauncherRun run = launcher_watch(copy, command, 15000);
        ASSERT_TRUE(run.started);
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(run.exit_code, 0u);
        EXPECT_LT(run.ended_after_ms, 5000.0);
        EXPECT_FALSE(run.window_shown);
        ASSERT_EQ(run.children.size(), 1u);
        EXPECT_EQ(command_line_parameters(run.children[0]), row.child_parameters + account);
        std::wstring child_program = run.children[0].substr(0, run.children[0].size() -
                                                               command_line_parameters(run.children[0]).size());
        EXPECT_NE(child_program.find(copy), std::wstring::npos) << "relaunched another program";
    }
}

// The limited token linked to the test's own (Wine has one, as Windows
// has for an administrator); null when there is none.
HANDLE limited_token() {
    HANDLE own = nullptr;
    TOKEN_LINKED_TOKEN linked = {};
    DWORD size = 0;
    HANDLE primary = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own) &&
        GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size)) {
        DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                         &primary);
        CloseHandle(linked.LinkedToken);
    }
    if (own != nullptr) {
        CloseHandle(own);
    }
    return primary;
}

// Not elevated, the launcher asks for elevation through the shell
// ("runas", which loads shell32; Wine starts the copy at once). Elevated
// already (as every test runs under Wine), it starts the copy itself and
// never loads the shell. Both copies get the same parameters.
TEST(LauncherRole, ElevatesOnlyWhenNotElevated) {
    std::wstring copy = setup_copy(kFolder + L"\\roles");
    std::wstring command = L"\"" + copy + L"\" /S";
    HANDLE limited = limited_token();
    ASSERT_NE(limited, nullptr);
    LauncherRun asked = launcher_watch(copy, command, 15000, limited);
    CloseHandle(limited);
    ASSERT_EQ(asked.children.size(), 1u);
    EXPECT_TRUE(asked.loaded_shell);
    LauncherRun direct = launcher_watch(copy, command, 15000);
    ASSERT_EQ(direct.children.size(), 1u);
    EXPECT_FALSE(direct.loaded_shell);
    EXPECT_EQ(command_line_parameters(asked.children[0]), L"-admin /S /USER=" + own_sid());
    EXPECT_EQ(command_line_parameters(direct.children[0]), L"-admin /S /USER=" + own_sid());
}

// "-admin" in double quotes reads as -admin: the installer role, which
// starts nothing and shows its window instead of ending.
TEST(InstallerRole, QuotedAdminOpensTheWindowWithoutRelaunching) {
    std::wstring copy = setup_copy(kFolder + L"\\roles");
    for (const wchar_t* parameters : {L"\"-admin\"", L"-admin"}) {
        SCOPED_TRACE(testing::Message() << "parameters: " << testing::PrintToString(std::wstring(parameters)));
        LauncherRun run = launcher_watch(copy, L"\"" + copy + L"\" " + parameters, 4000);
        ASSERT_TRUE(run.started);
        EXPECT_TRUE(run.children.empty());
        EXPECT_TRUE(run.window_shown);
        EXPECT_FALSE(run.ended) << "ended after " << run.ended_after_ms << " ms with " << run.exit_code;
    }
}

class PlantedLibraries : public testing::Test {
protected:
    void SetUp() override {
        folder = kFolder + L"\\planted";
        setup = setup_copy(folder);
        std::wstring library = unix_to_windows_path(PH_PLANTED_LIBRARY);
        for (const wchar_t* name : kNames) {
            std::wstring planted = folder + L"\\" + name;
            DeleteFileW((planted + L".loaded").c_str());
            ASSERT_TRUE(CopyFileW(library.c_str(), planted.c_str(), FALSE));
        }
    }
    std::vector<std::wstring> loaded() const {
        std::vector<std::wstring> names;
        for (const wchar_t* name : kNames) {
            if (GetFileAttributesW((folder + L"\\" + name + L".loaded").c_str()) != INVALID_FILE_ATTRIBUTES) {
                names.push_back(name);
            }
        }
        return names;
    }
    static constexpr const wchar_t* kNames[] = {L"dwmapi.dll", L"uxtheme.dll", L"msimg32.dll",
                                                 L"RICHED20.DLL", L"RICHED32.DLL"};
    std::wstring folder;
    std::wstring setup;
};

// Control: an unprotected program in the same folder does load the planted
// dwmapi.dll, so the markers would show a load by the setup.
TEST_F(PlantedLibraries, AreLoadedByAnUnprotectedProgram) {
    std::wstring probe = folder + L"\\probe.exe";
    ASSERT_TRUE(CopyFileW(unix_to_windows_path(PH_PLANTED_PROBE).c_str(), probe.c_str(), FALSE));
    ChildOptions options;
    options.application = probe.c_str();
    options.directory = folder.c_str();
    ASSERT_NE(child_run(L"\"" + probe + L"\"", options, 20000, 98, 97), 97u) << "not started";
    EXPECT_EQ(loaded(), std::vector<std::wstring>{L"dwmapi.dll"});
}

// The setup in both roles, its window open for a while, started from the
// planted folder as its working directory: none of the libraries loads.
TEST_F(PlantedLibraries, AreNeverLoadedByTheSetup) {
    LauncherRun installer = launcher_watch(setup, L"\"" + setup + L"\" -admin", 4000);
    EXPECT_TRUE(installer.window_shown);
    LauncherRun launcher = launcher_watch(setup, L"\"" + setup + L"\"", 4000);
    EXPECT_TRUE(launcher.ended);
    EXPECT_EQ(loaded(), std::vector<std::wstring>{});
}
