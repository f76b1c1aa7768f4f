#include "toolkit_support.h"
#include <gtest/gtest.h>
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/windows.h"
#include "runtime/strings.h"

std::ostream& operator<<(std::ostream& out, const QueuedEvent& event) {
    return out << "{" << event.code << ", " << event.control << ", " << event.subtype << "}";
}

void pump(int ms) {
    DWORD end = GetTickCount() + ms;
    do {
        dispatch_messages();
        Sleep(5);
    } while (static_cast<int32_t>(end - GetTickCount()) > 0);
}

std::vector<QueuedEvent> drain() {
    std::vector<QueuedEvent> events;
    while (int32_t code = event_fetch()) {
        events.push_back({code, event_control(), event_subtype()});
    }
    return events;
}

std::vector<QueuedEvent> drain_code(int32_t code) {
    std::vector<QueuedEvent> picked;
    for (const QueuedEvent& event : drain()) {
        if (event.code == code) {
            picked.push_back(event);
        }
    }
    return picked;
}

std::vector<QueuedEvent> await_code(int32_t code, size_t count) {
    std::vector<QueuedEvent> picked;
    auto collect = [&] {
        for (const QueuedEvent& event : drain_code(code)) {
            picked.push_back(event);
        }
    };
    EXPECT_TRUE(wait_until("the events awaited", [&] {
        collect();
        return picked.size() >= count;
    }));
    dispatch_messages();
    collect();
    return picked;
}

void bring_to_front(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    EXPECT_TRUE(wait_until("the window in front", [&] {
        return GetForegroundWindow() == window && GetActiveWindow() == window;
    }));
    dispatch_messages();
}

static void send(INPUT* inputs, UINT count) {
    ASSERT_EQ(SendInput(count, inputs, sizeof(INPUT)), count);
}

static void click_on_screen(POINT point) {
    SetCursorPos(point.x, point.y);
    EXPECT_TRUE(wait_until("the mouse at the point", [&] {
        POINT at;
        return GetCursorPos(&at) && at.x == point.x && at.y == point.y;
    }));
    dispatch_messages();
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    send(inputs, 2);
}

void click_with_mouse(HWND control) {
    RECT area;
    GetWindowRect(control, &area);
    click_on_screen({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
}

void click_at(HWND window, POINT point) {
    ClientToScreen(window, &point);
    click_on_screen(point);
}

static INPUT key_input(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void press_key(WORD key, bool shift, bool alt) {
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(key_input(VK_SHIFT, false));
    if (alt) inputs.push_back(key_input(VK_MENU, false));
    inputs.push_back(key_input(key, false));
    inputs.push_back(key_input(key, true));
    if (alt) inputs.push_back(key_input(VK_MENU, true));
    if (shift) inputs.push_back(key_input(VK_SHIFT, true));
    send(inputs.data(), static_cast<UINT>(inputs.size()));
}

void type_character(wchar_t c) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wScan = c;
    inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    send(inputs, 2);
}

std::wstring control_text(int64_t id) {
    TempScope scope;
    control_get_text(id, scope.start);
    return scope.text();
}

void run_event_loop(int ms) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<int32_t>(end - GetTickCount()) > 0) {
        event_wait(20);
    }
}

testing::AssertionResult event_loop_until(const char* what, const std::function<bool()>& condition,
                                          const std::function<void(int32_t)>& seen) {
    return wait_until(what, condition, WAIT_LIMIT_MS, [&] {
        int32_t code = event_wait(10);
        if (code != 0 && seen) {
            seen(code);
        }
    });
}

void WindowTestBase::open_window(int32_t x, int32_t y, int32_t width, int32_t height,
                                 const wchar_t* title, uint32_t flags) {
    window = window_open(ANY_ID, x, y, width, height, title, flags);
    ASSERT_NE(window, 0);
    hwnd = window_handle(window);
    pump();
    drain();
}

void WindowTestBase::TearDown() {
    if (window) {
        window_close(window);
    }
    pump(50);
    drain();
}

// The toolkit tests drive real windows: without a display they cannot run.
class DisplayRequired : public testing::Environment {
public:
    void SetUp() override {
        wchar_t display[64];
        ASSERT_GT(GetEnvironmentVariableW(L"DISPLAY", display, 64), 0u)
            << "DISPLAY must name an X display (Xvfb)";
    }
};
static testing::Environment* const g_display_check =
    testing::AddGlobalTestEnvironment(new DisplayRequired);
