// The ids of the open toolkit windows, kept beside their "TK_WindowID"
// property. Every message a toolkit window or control receives asks which
// toolkit window it belongs to; reading the property is a round trip to the
// window server under Wine (measured: about 230 of the 1,440 server requests
// the installer makes while it builds its window), while this table is
// plain memory. The property stays the record; the table follows it: an
// entry is added where the property is set and removed where it is removed.
#include "toolkit/window_core.h"
#include "toolkit/windows.h"

struct WindowIdEntry {
    HWND hwnd;
    int64_t id;
};

static const int32_t WINDOW_ID_CAPACITY = 32;
static WindowIdEntry g_entries[WINDOW_ID_CAPACITY];
static int32_t g_count;
// Set once more windows were open than the table holds: from then on a
// handle missing from the table may still carry the property.
static bool g_incomplete;

void window_ids_remember(HWND hwnd, int64_t id) {
    window_ids_forget(hwnd);
    if (g_count == WINDOW_ID_CAPACITY) {
        g_incomplete = true;
        return;
    }
    g_entries[g_count].hwnd = hwnd;
    g_entries[g_count].id = id;
    g_count++;
}

void window_ids_forget(HWND hwnd) {
    for (int32_t index = 0; index < g_count; index++) {
        if (g_entries[index].hwnd == hwnd) {
            g_count--;
            g_entries[index] = g_entries[g_count];
            return;
        }
    }
}

int64_t window_id_from_handle(HWND hwnd) {
    if (!hwnd) {
        return -1;
    }
    for (int32_t index = 0; index < g_count; index++) {
        if (g_entries[index].hwnd == hwnd) {
            return g_entries[index].id;
        }
    }
    if (!g_incomplete) {
        return -1;
    }
    return reinterpret_cast<int64_t>(GetPropW(hwnd, L"TK_WindowID")) - 1;
}
