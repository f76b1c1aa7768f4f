#include "richtree_support.h"
#include <gtest/gtest.h>
#include "toolkit_support.h"
#include "toolkit/controls.h"
#include "toolkit/windows.h"
#include "runtime/strings.h"

std::wstring control_text(int64_t id) {
    int64_t saved = temp_position();
    control_get_text(id, saved);
    std::wstring text = temp_address(saved);
    temp_set_position(saved);
    return text;
}

void run_event_loop(int ms) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<int32_t>(end - GetTickCount()) > 0) {
        event_wait(20);
    }
}

void click_at(HWND window, POINT point) {
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    pump(50);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
}
