// Runtime start-up and shutdown, private heaps and the global runtime record.
#pragma once
#include <windows.h>
#include <stdint.h>

// The temporary string buffer: every string expression is built here.
struct TempStringBuffer {
    char* buffer;       // block of capacity + 10 bytes in the string heap
    int64_t capacity;   // usable bytes
    int64_t position;   // write position, a byte offset into buffer
};

struct RuntimeRecord {
    HANDLE main_heap;       // object tables, records, pools, file buffers
    HMODULE instance;       // the executable's own module
    int64_t exit_code;      // handed to ExitProcess; stays 0 in the installer
    HANDLE string_heap;     // string variables and the temporary buffer
    HANDLE memory_heap;     // blocks of memory_alloc
    TempStringBuffer temp;
};

extern RuntimeRecord g_runtime;

// One library's step in the start and end chains.
typedef void (*RuntimeStepFunction)();

// Every start step in order.
void runtime_start();
// The start without the steps only windows need (post-event window,
// drawing support, window and control libraries, common controls), for a
// role that shows none; runtime_start_windows adds them, once.
void runtime_start_without_windows();
void runtime_start_windows();
[[noreturn]] void runtime_end();

void* memory_alloc(int64_t size, int32_t flags);
void memory_free(void* block);

// Main-heap helpers used by every library for its records and buffers.
// A pointer of each thread (null until set), kept in a Windows thread-local
// slot taken on first use. Declare as `static ThreadSlot name;`.
struct ThreadSlot {
    volatile LONG index_plus_one;
};
void* thread_slot_get(ThreadSlot* slot);
bool thread_slot_set(ThreadSlot* slot, void* value);

void* heap_alloc(int64_t size);            // zero-filled, null on failure
void* heap_alloc_raw(int64_t size);        // not zero-filled
void* heap_realloc(void* block, int64_t size);  // zero-fills growth
void heap_free(void* block);               // null is ignored
