// Stays, empty: the event library looks every event up in this callback table.
// The process-wide table of event callbacks, keyed by the text
// "code:window:control:subtype" with -1 for "any". Nothing in this program
// registers a callback, so every lookup walks an empty table.
#include <windows.h>
#include <stdio.h>
#include "toolkit/event_queue.h"
#include "runtime/runtime.h"

struct CallbackEntry {
    CallbackEntry* next;
    void (*callback)();
    int32_t active;
};

struct CallbackKey {
    CallbackKey* next;
    wchar_t key[96];
    CallbackEntry* entries;
};

static CallbackKey* g_callback_keys;

static void format_key(wchar_t* key, size_t count, int32_t code, int64_t window,
                       int64_t control, int64_t subtype) {
    _snwprintf(key, count - 1, L"%d:%lld:%lld:%lld", code, static_cast<long long>(window),
               static_cast<long long>(control), static_cast<long long>(subtype));
    key[count - 1] = 0;
}

static CallbackKey** find_key(const wchar_t* key) {
    CallbackKey** link = &g_callback_keys;
    while (*link && wcscmp((*link)->key, key) != 0) {
        link = &(*link)->next;
    }
    return link;
}

// Calls the active entries, then drops inactive ones and an emptied key.
static void run_key(int32_t code, int64_t window, int64_t control, int64_t subtype) {
    wchar_t key[96];
    format_key(key, 96, code, window, control, subtype);
    CallbackKey** key_link = find_key(key);
    CallbackKey* found = *key_link;
    if (!found) {
        return;
    }
    for (CallbackEntry* entry = found->entries; entry; entry = entry->next) {
        if (entry->active && entry->callback) {
            entry->callback();
        }
    }
    CallbackEntry** link = &found->entries;
    while (*link) {
        CallbackEntry* entry = *link;
        if (entry->active) {
            link = &entry->next;
            continue;
        }
        *link = entry->next;
        heap_free(entry);
    }
    if (!found->entries) {
        *key_link = found->next;
        heap_free(found);
    }
}

void event_callbacks_run(int32_t code, int64_t control, int64_t window, int64_t subtype) {
    if (!g_callback_keys) {
        return;
    }
    run_key(code, window, control, subtype);
    run_key(code, window, control, -1);
    run_key(code, window, -1, -1);
    run_key(code, -1, -1, -1);
    run_key(code, -1, control, subtype);
}

// A key belongs to a window when its second field is that window's id.
void event_callbacks_remove_window(int64_t window) {
    wchar_t infix[40];
    _snwprintf(infix, 39, L":%lld:", static_cast<long long>(window));
    infix[39] = 0;
    CallbackKey** link = &g_callback_keys;
    while (*link) {
        CallbackKey* key = *link;
        const wchar_t* first_colon = wcschr(key->key, L':');
        if (!first_colon || wcsncmp(first_colon, infix, wcslen(infix)) != 0) {
            link = &key->next;
            continue;
        }
        *link = key->next;
        while (key->entries) {
            CallbackEntry* entry = key->entries;
            key->entries = entry->next;
            heap_free(entry);
        }
        heap_free(key);
    }
}
