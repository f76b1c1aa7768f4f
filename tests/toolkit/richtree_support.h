// Shared helpers of the rich text and folder tree tests.
#pragma once
#include <windows.h>
#include <string>
#include "toolkit/control_core.h"

// The text of a control through control_get_text.
std::wstring control_text(int64_t id);
// Runs event_wait for `ms` milliseconds so keyboard rules of the event loop
// apply; the fetched events are dropped.
void run_event_loop(int ms);
// A real left click at a point given in `window`'s client coordinates.
void click_at(HWND window, POINT point);
