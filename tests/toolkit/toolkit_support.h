// Helpers of the toolkit tests: pumping native messages, draining the
// event queue into comparable records, real input through SendInput.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <vector>
#include <ostream>

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
void click_with_mouse(HWND control);
void press_key(WORD key, bool shift = false, bool alt = false);
void type_character(wchar_t c);
