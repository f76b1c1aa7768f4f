// The agreement text's border with the theme on and off. This program
// carries the setup's manifest, so it gets the version-6 common controls as
// the setup does. A process reads the theme setting once, when uxtheme
// loads: each look is checked in a child process started after the
// setting was changed in the prefix.
#include <windows.h>
#include <uxtheme.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <cstring>
#include <string>
#include <vector>
#include "support/child_process.h"
#include "toolkit_support.h"
#include "toolkit/controls.h"

namespace {

const wchar_t kThemeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

struct Look {
    const wchar_t* theme_active;   // HKCU ThemeManager ThemeActive
    const char* name;
    bool themed;
};

const Look kLooks[] = {
    {L"1", "themed", true},     // as a fresh prefix and most Windows machines
    {L"0", "classic", false},   // themes switched off
};

class ChildLook : public WindowTestBase {};

// Run only as the child that LookTest starts, with PH_LOOK naming the look.
TEST_F(ChildLook, TheAgreementBorderMatchesTheTheme) {
    const char* name = getenv("PH_LOOK");
    if (!name) {
        GTEST_SKIP() << "started by LookTest";
    }
    const Look* look = nullptr;
    for (const Look& candidate : kLooks) {
        if (std::string(candidate.name) == name) {
            look = &candidate;
        }
    }
    ASSERT_TRUE(look);
    EXPECT_EQ(IsAppThemed() != FALSE, look->themed);
    open_window(100, 200, 800, 610, L"Setup");
    // The agreement.
    int64_t view = text_view_create(ANY_ID, 200, 120, 400, 270, SETUP_AGREEMENT_FLAGS);
    ASSERT_NE(view, 0);
    HWND native = control_handle(view);
    // Themed, the theme's edit border replaces the classic sunken edge.
    bool sunken = (GetWindowLongPtrW(native, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    EXPECT_EQ(sunken, !look->themed);
    RECT outer;
    RECT client;
    GetWindowRect(native, &outer);
    GetClientRect(native, &client);
    POINT origin = {0, 0};
    ClientToScreen(native, &origin);
    EXPECT_GT(origin.x, outer.left) << "no border on the left";
    EXPECT_GT(origin.y, outer.top) << "no border at the top";
}

class LookTest : public testing::Test {
protected:
    std::wstring saved;
    bool was_set = false;
    void SetUp() override {
        wchar_t value[64] = {};
        DWORD size = sizeof(value);
        was_set = RegGetValueW(HKEY_CURRENT_USER, kThemeKey, L"ThemeActive", RRF_RT_REG_SZ,
                               nullptr, value, &size) == ERROR_SUCCESS;
        saved = value;
    }
    void TearDown() override { set_theme_active(was_set ? saved.c_str() : nullptr); }
    static void set_theme_active(const wchar_t* value) {
        if (!value) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kThemeKey, L"ThemeActive");
            return;
        }
        DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
        RegSetKeyValueW(HKEY_CURRENT_USER, kThemeKey, L"ThemeActive", REG_SZ, value, bytes);
    }
    static DWORD run_child(const char* look) {
        wchar_t own[MAX_PATH];
        GetModuleFileNameW(nullptr, own, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(own) + L"\" --gtest_filter=ChildLook.*";
        std::wstring value(look, look + strlen(look));
        std::vector<wchar_t> environment = environment_block({{L"PH_LOOK", value.c_str()}});
        ChildOptions options;
        options.application = own;
        options.environment = &environment;
        return child_run(line, options, 60000, 97, 99);
    }
};

TEST_F(LookTest, ThemedAndClassicEachDrawTheirBorder) {
    for (const Look& look : kLooks) {
        set_theme_active(look.theme_active);
        EXPECT_EQ(run_child(look.name), 0u) << look.name << " (the child's output is above)";
    }
}

}  // namespace
