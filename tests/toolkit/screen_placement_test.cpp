// Where a window centred on the screen lands on the screens people have.
// Run by tests/toolkit/screen_sizes on Xvfb screens of each size; PH_TASKBAR
// pixels at the screen's bottom are taken from the work area, as the
// taskbar takes them on Windows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include "toolkit_support.h"

namespace {

struct ScreenCase {
    int width;
    int height;
    int taskbar;
    POINT expected;   // top-left of the window, 806 x 635 with Wine's frame where it fits
};

const ScreenCase kScreens[] = {
    {1280, 720, 48, {237, 18}},   // centred above the taskbar, not under it
    {1366, 768, 48, {280, 42}},   // centred in the work area
    {1093, 614, 40, {183, 0}},    // 1366 x 768 at 125 %: too low, shrunk to fit
    {1024, 640, 48, {137, 0}},    // 1280 x 800 at 125 %: shrunk to fit
};

class ScreenPlacementTest : public WindowTestBase {
protected:
    RECT screen = {};
    void TearDown() override {
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &screen, 0);
        WindowTestBase::TearDown();
    }
};

TEST_F(ScreenPlacementTest, TheSetupWindowLiesInTheWorkAreaWhereverItFits) {
    const char* taskbar_text = getenv("PH_TASKBAR");
    int taskbar = taskbar_text ? atoi(taskbar_text) : 0;
    screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const ScreenCase* known = nullptr;
    for (const ScreenCase& c : kScreens) {
        if (c.width == screen.right && c.height == screen.bottom && c.taskbar == taskbar) {
            known = &c;
        }
    }
    ASSERT_TRUE(known) << "no case for " << screen.right << " x " << screen.bottom
                       << " with a taskbar of " << taskbar;
    RECT work = screen;
    work.bottom -= taskbar;
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0));

    open_window(100, 200, 800, 610, L"Setup", SETUP_WINDOW_FLAGS);   // the setup's window
    ASSERT_TRUE(hwnd);
    RECT outer;
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(outer.left, known->expected.x);
    EXPECT_EQ(outer.top, known->expected.y);
    // Caption, buttons and all in the work area: none under the taskbar.
    EXPECT_GE(outer.top, work.top);
    EXPECT_LE(outer.bottom, work.bottom);
    EXPECT_LE(outer.right, work.right);
}

}  // namespace
