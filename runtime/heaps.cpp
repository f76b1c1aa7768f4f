// The main heap helpers and the memory-block heap of memory_alloc.
#include "runtime/libraries.h"
#include "runtime/runtime.h"

void* heap_alloc(int64_t size) {
    if (size < 0) {
        return nullptr;
    }
    return HeapAlloc(g_runtime.main_heap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(size));
}

void* heap_alloc_raw(int64_t size) {
    if (size < 0) {
        return nullptr;
    }
    return HeapAlloc(g_runtime.main_heap, 0, static_cast<SIZE_T>(size));
}

void* heap_realloc(void* block, int64_t size) {
    if (size < 0) {
        return nullptr;
    }
    if (!block) {
        return heap_alloc(size);
    }
    return HeapReAlloc(g_runtime.main_heap, HEAP_ZERO_MEMORY, block, static_cast<SIZE_T>(size));
}

void heap_free(void* block) {
    if (block) {
        HeapFree(g_runtime.main_heap, 0, block);
    }
}

void memory_library_start() {
    g_runtime.memory_heap = HeapCreate(0, 4096, 0);
}

void memory_library_end() {
    HeapDestroy(g_runtime.memory_heap);
    g_runtime.memory_heap = nullptr;
}

void* memory_alloc(int64_t size, int32_t flags) {
    if (size < 1) {
        return nullptr;
    }
    DWORD heap_flags = (flags & 1) ? 0 : HEAP_ZERO_MEMORY;
    return HeapAlloc(g_runtime.memory_heap, heap_flags, static_cast<SIZE_T>(size));
}

void memory_free(void* block) {
    if (block) {
        HeapFree(g_runtime.memory_heap, 0, block);
    }
}
