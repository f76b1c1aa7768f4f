// The per-thread event queue.
#pragma once
#include <stdint.h>

enum : int32_t {
    EVENT_GADGET = 13100, EVENT_MENU = 13101, EVENT_TRAY = 13102,
    EVENT_ACTIVATE = 13104, EVENT_MINIMIZE = 13107, EVENT_MAXIMIZE = 13108,
    EVENT_RESTORE = 13109, EVENT_TIMER = 13110, EVENT_RIGHT_CLICK = 13111,
    EVENT_LEFT_CLICK = 13112, EVENT_LEFT_DOUBLE_CLICK = 13113,
    EVENT_DEACTIVATE = 13114, EVENT_REPAINT = 13115, EVENT_CLOSE_WINDOW = 13116,
    EVENT_MOVE_WINDOW = 13117, EVENT_SIZE_WINDOW = 13118,
};

// Subtypes of EVENT_GADGET beside the native notification codes that
// controls pass on (BN_CLICKED, EN_ codes, the tree's clicks 0 to 3).
enum : int32_t {
    GADGET_CHANGED = 768,            // text or selection changed (the value of EN_CHANGE)
    GADGET_FOCUS_GAINED = 14000,
    GADGET_FOCUS_LOST = 14001,
    GADGET_DRAG_STARTED = 14002,     // a tree item is being dragged
};

enum : int32_t { POST_FORCED = 1, POST_DEFERRED = 2 };

typedef void (*EventDataRelease)(void* data);

void event_post(int32_t code, int64_t control, int64_t window, int64_t subtype,
                void* data = nullptr, EventDataRelease release = nullptr,
                int32_t post_flags = 0);
int32_t event_fetch();
int64_t event_control();
int32_t event_code();
int64_t event_window();
int64_t event_subtype();
void event_purge(int32_t code, int64_t control, int64_t window, int64_t subtype);
void events_suppress();
void events_resume();
