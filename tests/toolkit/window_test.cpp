#include <gtest/gtest.h>
#include <vector>
#include "toolkit_support.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/windows.h"
#include "toolkit/window_core.h"
#include "toolkit/window_scale.h"
#include "runtime/registry.h"

namespace {

// The setup window's styles, not shown.
constexpr uint32_t HIDDEN_FLAGS = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WINDOW_HIDDEN;

class WindowTest : public WindowTestBase {
protected:
    void open(uint32_t flags = SETUP_WINDOW_FLAGS) {
        open_window(100, 200, 800, 610, L"Toolkit test", flags);
        ASSERT_TRUE(hwnd);
    }
};

TEST_F(WindowTest, IsCentredOnTheWorkAreaWithTheAskedClientSize) {
    open();
    RECT client;
    RECT outer;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 610);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(outer.left, work.left + (work.right - work.left - width) / 2);
    EXPECT_EQ(outer.top, work.top + (work.bottom - work.top - height) / 2);
}

// Moved to a monitor of 144 DPI (Wine never sends the message: it has one
// DPI for all monitors) every control, the font and the picture follow the
// window's scale; moved back, the layout is the 96-DPI one to the pixel.
TEST_F(WindowTest, DpiChangeRescalesControlsFontAndPictureAndBackExactly) {
    open();
    int64_t panel = container_create(ANY_ID, 200, 200, 400, 120, CONTAINER_CLIENT_EDGE);
    int64_t option = option_create(ANY_ID, 30, 30, 80, 20, L"Deutsch");
    control_list_close();
    int64_t field = text_field_create(ANY_ID, 40, 520, 720, 20, L"");
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 98, 74, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    window_set_background(window, picture);
    WindowObject* record = window_record(window);
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->scaled_background);   // drawn as it is at 96 DPI
    auto rect_of = [](int64_t id) {
        RECT r;
        GetWindowRect(control_handle(id), &r);
        MapWindowPoints(nullptr, GetParent(control_handle(id)), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto font_height = [](int64_t id) {
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control_handle(id), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    };
    const int64_t controls[] = {panel, option, field};
    const RECT at_96[] = {rect_of(panel), rect_of(option), rect_of(field)};
    const RECT at_144[] = {{300, 300, 900, 480}, {45, 45, 165, 75}, {60, 780, 1140, 810}};
    LONG height_96 = font_height(option);
    for (int dpi : {144, 96}) {
        RECT outer;
        GetWindowRect(hwnd, &outer);
        EXPECT_EQ(SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                               reinterpret_cast<LPARAM>(&outer)), 0);
        RECT client;
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, dpi == 144 ? 1200 : 800);
        EXPECT_EQ(client.bottom, dpi == 144 ? 915 : 610);
        for (int i = 0; i < 3; i++) {
            RECT want = dpi == 144 ? at_144[i] : at_96[i];
            RECT got = rect_of(controls[i]);
            EXPECT_TRUE(EqualRect(&got, &want)) << dpi << " DPI, control " << i << ": "
                                                << got.left << "," << got.top << " " << got.right
                                                << "," << got.bottom;
        }
        BITMAP scaled = {};
        if (dpi == 144) {
            EXPECT_GE(font_height(field), height_96 * 3 / 2 - 1);
            ASSERT_TRUE(record->scaled_background);
            GetObjectW(record->scaled_background, sizeof scaled, &scaled);
            EXPECT_EQ(scaled.bmWidth, 147);
            EXPECT_EQ(scaled.bmHeight, 111);
        } else {
            EXPECT_EQ(font_height(field), height_96);
            EXPECT_FALSE(record->scaled_background);
        }
    }
    window_set_background(window, nullptr);
    DeleteObject(picture);
}

TEST_F(WindowTest, WaitReturnsTheNativeMessageFirstAndTheControlEventNext) {
    open();
    int64_t button = button_create(ANY_ID, 10, 10, 100, 30, L"Go");
    ASSERT_NE(button, 0);
    pump();
    while (event_wait(0) != 0) {
    }
    PostMessageW(control_handle(button), BM_CLICK, 0, 0);
    EXPECT_EQ(event_wait(0), BM_CLICK);
    EXPECT_EQ(event_wait(0), EVENT_GADGET);
    EXPECT_EQ(event_control(), button);
}

TEST_F(WindowTest, WaitWithZeroTimeoutOnNothingReturnsAtOnce) {
    open();
    while (event_wait(0) != 0) {
    }
    DWORD start = GetTickCount();
    EXPECT_EQ(event_wait(0), 0);
    EXPECT_EQ(event_wait(30), 0);
    EXPECT_LT(GetTickCount() - start, 500u);
}

TEST_F(WindowTest, CloseBoxAndAltF4PostCloseAndTheWindowStays) {
    open();
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    pump();
    std::vector<QueuedEvent> expected = {{EVENT_CLOSE_WINDOW, window, 0}};
    EXPECT_EQ(drain_code(EVENT_CLOSE_WINDOW), expected);
    bring_to_front(hwnd);
    drain();
    press_key(VK_F4, false, true);
    EXPECT_EQ(await_code(EVENT_CLOSE_WINDOW, 1), expected);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(window_handle(window), hwnd);
}

TEST_F(WindowTest, RestoreAfterMaximizePostsRestoreThenOneSize) {
    open(SETUP_WINDOW_FLAGS | WS_THICKFRAME | WS_MAXIMIZEBOX);
    ShowWindow(hwnd, SW_MAXIMIZE);
    pump();
    std::vector<QueuedEvent> maximized;
    for (const QueuedEvent& event : drain()) {
        if (event.code != EVENT_MOVE_WINDOW && event.code != EVENT_REPAINT &&
            event.code != EVENT_ACTIVATE && event.code != EVENT_DEACTIVATE) {
            maximized.push_back(event);
        }
    }
    std::vector<QueuedEvent> expected_max = {{EVENT_MAXIMIZE, 0, 0},
                                             {EVENT_SIZE_WINDOW, 0, 0}};
    EXPECT_EQ(maximized, expected_max);
    ShowWindow(hwnd, SW_RESTORE);
    pump();
    std::vector<QueuedEvent> restored;
    for (const QueuedEvent& event : drain()) {
        if (event.code == EVENT_RESTORE || event.code == EVENT_SIZE_WINDOW ||
            event.code == EVENT_MAXIMIZE || event.code == EVENT_MINIMIZE) {
            restored.push_back(event);
        }
    }
    std::vector<QueuedEvent> expected = {{EVENT_RESTORE, 0, 0}, {EVENT_SIZE_WINDOW, 0, 0}};
    EXPECT_EQ(restored, expected);
}

// Keys go through event_wait, so Tab reaches the window's accelerator table.
TEST_F(WindowTest, TabWrapsBothWaysAndSkipsLabelsAndContainers) {
    open();
    HWND first = reinterpret_cast<HWND>(button_create(1, 10, 10, 100, 30, L"First"));
    label_create(2, 10, 50, 100, 20, L"Label");
    container_create(3, 10, 80, 300, 100, CONTAINER_CLIENT_EDGE);
    HWND inner = reinterpret_cast<HWND>(text_field_create(4, 10, 10, 100, 24, L""));
    control_list_close();
    HWND last = reinterpret_cast<HWND>(button_create(5, 10, 200, 100, 30, L"Last"));
    bring_to_front(hwnd);
    SetFocus(first);
    struct Step {
        bool shift;
        HWND expected;
    };
    const Step steps[] = {{false, inner}, {false, last}, {false, first},   // wraps forwards
                          {true, last}, {true, inner}, {true, first}, {true, last}};
    for (const Step& step : steps) {
        press_key(VK_TAB, step.shift);
        EXPECT_TRUE(event_loop_until("the focus on the next stop",
                                     [&] { return GetFocus() == step.expected; }))
            << (step.shift ? "Shift+Tab" : "Tab");
    }
}

// The arrow keys within a group pass over options that cannot take the
// focus, wrap at both ends, and check the option reached with the event a
// click reports. The button after the group ends it.
TEST_F(WindowTest, ArrowsStepOverHiddenAndDisabledOptionsAndWrap) {
    open();
    HWND first = reinterpret_cast<HWND>(option_create(1, 10, 10, 100, 20, L"First"));
    option_create(2, 10, 30, 100, 20, L"Disabled");
    HWND third = reinterpret_cast<HWND>(option_create(3, 10, 50, 100, 20, L"Third"));
    option_create(4, 10, 70, 100, 20, L"Hidden");
    button_create(5, 10, 100, 100, 30, L"After");
    control_disable(2, 1);
    control_hide(4, 1);
    bring_to_front(hwnd);
    SetFocus(first);
    struct Step {
        WORD key;
        HWND expected;
        int64_t clicked;
    };
    const Step steps[] = {{VK_DOWN, third, 3}, {VK_DOWN, first, 1}, {VK_UP, third, 3},
                          {VK_LEFT, first, 1}, {VK_RIGHT, third, 3}};
    for (const Step& step : steps) {
        drain();
        press_key(step.key);
        int64_t clicked = 0;
        EXPECT_TRUE(event_loop_until(
            "the option reached focused and its click reported",
            [&] { return GetFocus() == step.expected && clicked != 0; },
            [&](int32_t code) {
                if (code == EVENT_GADGET) {
                    clicked = event_control();
                }
            }))
            << step.key;
        EXPECT_EQ(SendMessageW(step.expected, BM_GETCHECK, 0, 0), BST_CHECKED) << step.key;
        EXPECT_EQ(clicked, step.clicked) << step.key;
    }
}

// More windows than the id table beside "TK_WindowID" holds: each handle
// still answers its own id, a click in a control reports the window it sits
// in, and a closed window's handle answers nothing.
TEST(WindowIds, EveryOpenWindowAnswersItsIdAndAClosedOneNothing) {
    const int64_t first = 10;
    const int64_t count = 40;
    std::vector<HWND> handles;
    for (int64_t id = first; id < first + count; id++) {
        ASSERT_NE(window_open(id, 0, 0, 200, 100, L"Id test", HIDDEN_FLAGS), 0);
        handles.push_back(window_handle(id));
        button_create(id, 10, 10, 80, 24, L"Go");
    }
    for (int64_t id = first; id < first + count; id++) {
        EXPECT_EQ(window_id_from_handle(handles[id - first]), id);
    }
    for (int64_t id : {first, first + count - 1}) {
        while (event_fetch() != 0) {
        }
        SendMessageW(control_handle(id), BM_CLICK, 0, 0);
        int32_t code = event_fetch();
        while (code != 0 && code != EVENT_GADGET) {   // focus and activation come first
            code = event_fetch();
        }
        ASSERT_EQ(code, EVENT_GADGET);
        EXPECT_EQ(event_control(), id);
        EXPECT_EQ(event_window(), id);
    }
    for (int64_t id = first; id < first + count; id++) {
        window_close(id);
        EXPECT_EQ(window_id_from_handle(handles[id - first]), -1);
    }
    ASSERT_NE(window_open(first, 0, 0, 200, 100, L"Id test", HIDDEN_FLAGS), 0);
    EXPECT_EQ(window_id_from_handle(window_handle(first)), first);
    window_close(first);
    while (event_fetch() != 0) {
    }
}

}  // namespace

// A picture drawn behind a window repeats when it is smaller than the part
// erased, also for a child that moved the origin of the DC it passes.
TEST(WindowBackground, SmallPictureTilesFromTheWindowsCorner) {
    const COLORREF colours[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                                    {RGB(9, 9, 9), RGB(99, 99, 99), RGB(199, 199, 199)}};
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 3, 2);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 8, 5);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, picture);
    for (int y = 0; y < 2; y++) {
        for (int x = 0; x < 3; x++) {
            SetPixel(dc, x, y, colours[y][x]);
        }
    }
    SelectObject(dc, canvas);
    for (POINT origin : {POINT{0, 0}, POINT{-4, -1}}) {
        SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
        ASSERT_TRUE(window_background_paint(picture, dc));
        SetViewportOrgEx(dc, 0, 0, nullptr);
        for (int y = 0; y < 5; y++) {
            for (int x = 0; x < 8; x++) {
                int lx = x - origin.x;
                int ly = y - origin.y;
                EXPECT_EQ(colours[ly % 2][lx % 3], GetPixel(dc, x, y)) << x << "," << y;
            }
        }
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(canvas);
    DeleteObject(picture);
    ReleaseDC(nullptr, screen);
}
