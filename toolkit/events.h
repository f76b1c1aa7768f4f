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
