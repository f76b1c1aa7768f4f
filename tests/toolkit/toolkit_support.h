// Helpers of the toolkit tests: a fixture with one open window, pumping
// native messages, draining the event queue into comparable records, real
// input through SendInput, control texts.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>
#include "toolkit/control_core.h"
#include "installer/window_flags.h"

struct QueuedEvent {
    int32_t code;
    int64_t control;
    int64_t subtype;
    bool operator==(const QueuedEvent& other) const {
        return code == other.code && control == other.control && subtype == other.subtype;
    }
};
std::ostream& operator<<(std::ostream& out, const QueuedEvent& event);

// Dispatches native messages for `ms` milliseconds without fetching events.
void pump(int ms = 100);
// Fetches every queued event.
std::vector<QueuedEvent> drain();
// Only the events with `code`.
std::vector<QueuedEvent> drain_code(int32_t code);
void bring_to_front(HWND window);
// A real left click at the middle of `control`.
void click_with_mouse(HWND control);
// A real left click at a point given in `window`'s client coordinates.
void click_at(HWND window, POINT point);
void press_key(WORD key, bool shift = false, bool alt = false);
void type_character(wchar_t c);

// The text of a control through control_get_text.
std::wstring control_text(int64_t id);
// Runs event_wait for `ms` milliseconds so keyboard rules of the event loop
// apply; the fetched events are dropped.
void run_event_loop(int ms);

// A test with one toolkit window. open_window opens it (ANY_ID), keeps its
// handle and empties both queues; TearDown closes it when one is open and
// drops what the closing posted.
class WindowTestBase : public testing::Test {
protected:
    int64_t window = 0;
    HWND hwnd = nullptr;
    void open_window(int32_t x, int32_t y, int32_t width, int32_t height, const wchar_t* title,
                     uint32_t flags = SETUP_WINDOW_FLAGS);
    void TearDown() override;
};
