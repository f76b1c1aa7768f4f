// Toolkit-internal parts of the event queue: the per-thread state and the
// window-wide removals used when a window goes away.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "toolkit/events.h"

struct NodePool;

struct EventNode {
    EventNode* next;
    int32_t code;
    int32_t post_flags;
    int64_t control;
    int64_t window;
    int64_t subtype;
    void* data;
    EventDataRelease data_release;
};

struct EventQueue {
    NodePool* pool;
    EventNode* head;
    EventNode* tail;
    int32_t suppress_count;
    int32_t current_code;
    int64_t current_window;
    int64_t current_control;
    int64_t current_subtype;
    void* current_data;
    EventDataRelease current_data_release;
};

// The calling thread's queue, made on first use; null only when out of memory.
EventQueue* event_queue();
// Runs the callbacks registered for an event (the table stays empty here).
void event_callbacks_run(int32_t code, int64_t control, int64_t window, int64_t subtype);
// Removes the callback-table entries of a window.
void event_callbacks_remove_window(int64_t window);
// Removes every queued event of a window.
void events_purge_window(int64_t window);
