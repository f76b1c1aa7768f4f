// Helpers of the toolkit tests: a fixture with one open window, pumping
// native messages, draining the event queue into comparable records, real
// input through SendInput, control texts.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <gtest/gtest.h>
#include <functional>
#include <ostream>
#include <string>
#include <vector>
#include "toolkit/control_core.h"
#include "installer/pages/window_flags.h"
#include "support/wait.h"

struct QueuedEvent {
    int32_t code;
    int64_t control;
    int64_t subtype;
    bool operator==(const QueuedEvent& other) const {
        return code == other.code && control == other.control && subtype == other.subtype;
    }
};
std::ostream& operator<<(std::ostream& out, const QueuedEvent& event);

// Dispatches native messages for `ms` milliseconds without fetching events:
// for showing that nothing is queued, and for what settles unseen (a new
// window). To wait for something, use await_code or wait_until.
void pump(int ms = 100);
// Fetches every queued event.
std::vector<QueuedEvent> drain();
// Only the events with `code`.
std::vector<QueuedEvent> drain_code(int32_t code);
// Dispatches native messages until `count` events with `code` were queued
// (failing after the wait limit) and returns every event with `code`
// queued by then, so one too many shows; the others are dropped.
std::vector<QueuedEvent> await_code(int32_t code, size_t count);
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
// apply; the fetched events are dropped. Only for showing that nothing
// happens: to wait for something, use event_loop_until.
void run_event_loop(int ms);
// Runs event_wait until `condition` holds, at most the wait limit; each
// fetched event is handed to `seen` when one is given.
testing::AssertionResult event_loop_until(const char* what, const std::function<bool()>& condition,
                                          const std::function<void(int32_t)>& seen = nullptr);

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
