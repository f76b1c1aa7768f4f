// The per-thread event queue: posting with suppression and coalescing,
// fetching into the current-event fields, purging.
#include "toolkit/event_queue.h"
#include "runtime/lists.h"
#include "runtime/runtime.h"

static ThreadSlot t_queue;

// Codes at or above this are never coalesced.
static const int32_t COALESCE_LIMIT = 65536;

EventQueue* event_queue() {
    EventQueue* existing = static_cast<EventQueue*>(thread_slot_get(&t_queue));
    if (existing) {
        return existing;
    }
    EventQueue* queue = static_cast<EventQueue*>(heap_alloc(sizeof(EventQueue)));
    if (!queue) {
        return nullptr;
    }
    queue->pool = pool_create(sizeof(EventNode), 16, 256, POOL_UNLOCKED);
    queue->current_subtype = -1;
    thread_slot_set(&t_queue, queue);
    return queue;
}

static void release_data(void* data, EventDataRelease release) {
    if (data && release) {
        release(data);
    }
}

static bool same_as_tail(const EventQueue* queue, int32_t code, int64_t control,
                         int64_t window, int64_t subtype) {
    const EventNode* tail = queue->tail;
    if (!tail || code >= COALESCE_LIMIT) {
        return false;
    }
    return tail->code == code && tail->control == control && tail->window == window &&
           tail->subtype == subtype;
}

static bool append_node(EventQueue* queue, int32_t code, int64_t control, int64_t window,
                        int64_t subtype, void* data, EventDataRelease release,
                        int32_t post_flags) {
    EventNode* node = static_cast<EventNode*>(pool_alloc(queue->pool));
    if (!node) {
        return false;
    }
    node->next = nullptr;
    node->code = code;
    node->post_flags = post_flags;
    node->control = control;
    node->window = window;
    node->subtype = subtype;
    node->data = data;
    node->data_release = release;
    if (queue->tail) {
        queue->tail->next = node;
    } else {
        queue->head = node;
    }
    queue->tail = node;
    return true;
}

// Callbacks see the posted event as the current one; the fetched event
// is put back afterwards.
static void run_callbacks_at_post(EventQueue* queue, int32_t code, int64_t control,
                                  int64_t window, int64_t subtype, void* data) {
    EventQueue saved = *queue;
    queue->current_code = code;
    queue->current_control = control;
    queue->current_window = window;
    queue->current_subtype = subtype;
    queue->current_data = data;
    event_callbacks_run(code, control, window, subtype);
    queue->current_code = saved.current_code;
    queue->current_control = saved.current_control;
    queue->current_window = saved.current_window;
    queue->current_subtype = saved.current_subtype;
    queue->current_data = saved.current_data;
}

// An event that is not queued gives its data back at once, so that a
// payload is never lost.
void event_post(int32_t code, int64_t control, int64_t window, int64_t subtype, void* data,
                EventDataRelease release, int32_t post_flags) {
    EventQueue* queue = event_queue();
    if (!queue || (queue->suppress_count != 0 && !(post_flags & POST_FORCED))) {
        release_data(data, release);
        return;
    }
    bool coalesce = !(post_flags & POST_DEFERRED) &&
                    same_as_tail(queue, code, control, window, subtype);
    bool queued = !coalesce &&
                  append_node(queue, code, control, window, subtype, data, release, post_flags);
    if (post_flags & POST_DEFERRED) {
        if (!queued) {
            release_data(data, release);
        }
        return;
    }
    run_callbacks_at_post(queue, code, control, window, subtype, data);
    if (!queued) {
        release_data(data, release);
    }
}

int32_t event_fetch() {
    EventQueue* queue = event_queue();
    if (!queue) {
        return 0;
    }
    queue->current_code = 0;
    release_data(queue->current_data, queue->current_data_release);
    queue->current_data = nullptr;
    queue->current_data_release = nullptr;
    queue->current_subtype = -1;
    EventNode* node = queue->head;
    if (!node) {
        return 0;
    }
    queue->head = node->next;
    if (!queue->head) {
        queue->tail = nullptr;
    }
    queue->current_code = node->code;
    queue->current_control = node->control;
    queue->current_window = node->window;
    queue->current_subtype = node->subtype;
    queue->current_data = node->data;
    queue->current_data_release = node->data_release;
    int32_t flags = node->post_flags;
    pool_free(queue->pool, node);
    if (flags & POST_DEFERRED) {
        event_callbacks_run(queue->current_code, queue->current_control,
                            queue->current_window, queue->current_subtype);
    }
    return queue->current_code;
}

static bool matches(const EventNode* node, int32_t code, int64_t control, int64_t window,
                    int64_t subtype) {
    return (code == -1 || node->code == code) && (control == -1 || node->control == control) &&
           (window == -1 || node->window == window) &&
           (subtype == -1 || node->subtype == subtype);
}

// Purged events give their data back, like every event that is not fetched.
void event_purge(int32_t code, int64_t control, int64_t window, int64_t subtype) {
    EventQueue* queue = event_queue();
    if (!queue) {
        return;
    }
    EventNode** link = &queue->head;
    EventNode* last_kept = nullptr;
    while (*link) {
        EventNode* node = *link;
        if (matches(node, code, control, window, subtype)) {
            *link = node->next;
            release_data(node->data, node->data_release);
            pool_free(queue->pool, node);
            continue;
        }
        last_kept = node;
        link = &node->next;
    }
    queue->tail = last_kept;
}

void events_purge_window(int64_t window) {
    if (window == -1) {
        return;
    }
    event_purge(-1, -1, window, -1);
}

int64_t event_control() {
    EventQueue* queue = event_queue();
    return queue ? queue->current_control : 0;
}

int32_t event_code() {
    EventQueue* queue = event_queue();
    return queue ? queue->current_code : 0;
}

int64_t event_window() {
    EventQueue* queue = event_queue();
    return queue ? queue->current_window : 0;
}

int64_t event_subtype() {
    EventQueue* queue = event_queue();
    return queue ? queue->current_subtype : -1;
}

void events_suppress() {
    EventQueue* queue = event_queue();
    if (queue) {
        queue->suppress_count++;
    }
}

// A resume without a matching suppress is ignored rather than turning the
// count negative (which would silently drop every later event).
void events_resume() {
    EventQueue* queue = event_queue();
    if (queue && queue->suppress_count > 0) {
        queue->suppress_count--;
    }
}
