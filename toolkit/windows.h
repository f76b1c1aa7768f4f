// Top-level windows and the blocking wait for events.
#pragma once
#include <windows.h>
#include <stdint.h>

int64_t window_open(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                    const wchar_t* title, uint32_t flags = 0xC80000, HWND parent = nullptr);
// Shows a window opened with the hidden flag (0x10000000).
void window_show(int64_t id);
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
