// Top-level windows and the blocking wait for events.
#pragma once
#include <windows.h>
#include <stdint.h>

// Flags of window_open: WS_ styles (WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX,
// WS_MAXIMIZEBOX, WS_THICKFRAME) together with the toolkit's own bits below.
// The toolkit's bits that share a style bit mean what they say here, not
// the style.
enum : uint32_t {
    WINDOW_CENTRE_SCREEN = 0x1,          // centred in the work area
    WINDOW_CENTRE_PARENT = 0x2,          // centred on the parent (else the active window)
    WINDOW_TOOL = 0x4,                   // tool window: small caption, no boxes
    WINDOW_KEEP_LIST = 0x8,              // the current control list stays where it is
    WINDOW_MAXIMIZED = WS_MAXIMIZE,      // shown maximized
    WINDOW_NO_ACTIVATE = 0x2000000,      // shown without taking the activation
    WINDOW_HIDDEN = 0x10000000,          // not shown until window_show
    WINDOW_MINIMIZED = WS_MINIMIZE,      // shown minimized
};
// A caption with the system menu, placed where asked.
constexpr uint32_t WINDOW_PLAIN = WS_CAPTION | WS_SYSMENU;

int64_t window_open(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                    const wchar_t* title, uint32_t flags = WINDOW_PLAIN, HWND parent = nullptr);
// Shows a window opened with WINDOW_HIDDEN.
void window_show(int64_t id);
// The picture drawn behind the window's children from its top-left corner
// (null: the class brush again). The caller keeps the bitmap alive while
// the window shows it.
void window_set_background(int64_t id, HBITMAP picture);
HWND window_handle(int64_t id);
void window_close(int64_t id);
int64_t window_id_from_handle(HWND hwnd);
int64_t event_wait(int32_t timeout = -1);
void focus_next(bool backwards);
// A page was just shown: the focus goes to its first stop. `page` is a
// container (its first stop, an option group entered at its checked option)
// or the control to start on.
void focus_page_shown(int64_t page);
// Enter presses `default_button` and Escape `cancel_button` while they are
// visible (0: none); Enter on a focused push button presses that one. Each
// page names its own; the visible one nearest the focus is used.
void focus_set_page_buttons(int64_t default_button, int64_t cancel_button);
