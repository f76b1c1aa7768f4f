// The process-wide cache of solid brushes, one per colour, counted, locked.
#include <windows.h>
#include "toolkit/control_core.h"
#include "runtime/runtime.h"

struct CachedBrush {
    CachedBrush* next;
    uint32_t rgb;
    HBRUSH brush;
    int32_t references;
};

static CRITICAL_SECTION g_brush_lock;
static CachedBrush* g_brushes;

void brush_cache_start() {
    InitializeCriticalSection(&g_brush_lock);
}

static HBRUSH take_locked(uint32_t rgb) {
    for (CachedBrush* entry = g_brushes; entry; entry = entry->next) {
        if (entry->rgb == rgb) {
            entry->references++;
            return entry->brush;
        }
    }
    CachedBrush* entry = static_cast<CachedBrush*>(heap_alloc(sizeof(CachedBrush)));
    if (!entry) {
        return nullptr;
    }
    entry->brush = CreateSolidBrush(rgb);
    if (!entry->brush) {
        heap_free(entry);
        return nullptr;
    }
    entry->rgb = rgb;
    entry->references = 1;
    entry->next = g_brushes;
    g_brushes = entry;
    return entry->brush;
}

HBRUSH brush_cache_take(uint32_t rgb) {
    EnterCriticalSection(&g_brush_lock);
    HBRUSH brush = take_locked(rgb);
    LeaveCriticalSection(&g_brush_lock);
    return brush;
}

void brush_cache_release(HBRUSH brush) {
    if (!brush) {
        return;
    }
    EnterCriticalSection(&g_brush_lock);
    for (CachedBrush** link = &g_brushes; *link; link = &(*link)->next) {
        CachedBrush* entry = *link;
        if (entry->brush != brush) {
            continue;
        }
        if (--entry->references == 0) {
            *link = entry->next;
            DeleteObject(entry->brush);
            heap_free(entry);
        }
        break;
    }
    LeaveCriticalSection(&g_brush_lock);
}
