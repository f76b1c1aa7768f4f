// Per-thread pointers in Windows' own thread-local slots. The compiler's
// thread_local is emulated on this target and links the pthread library
// (about 27 KB of the setup) for a handful of pointers.
#include "runtime/runtime.h"

// The slot's index plus one, taken on first use; two threads racing for it
// keep the first index and give the other back.
static DWORD slot_index(ThreadSlot* slot) {
    LONG taken = slot->index_plus_one;
    if (taken != 0) {
        return static_cast<DWORD>(taken - 1);
    }
    DWORD fresh = TlsAlloc();
    if (fresh == TLS_OUT_OF_INDEXES) {
        return TLS_OUT_OF_INDEXES;
    }
    LONG before =
        InterlockedCompareExchange(&slot->index_plus_one, static_cast<LONG>(fresh + 1), 0);
    if (before != 0) {
        TlsFree(fresh);
        return static_cast<DWORD>(before - 1);
    }
    return fresh;
}

void* thread_slot_get(ThreadSlot* slot) {
    DWORD index = slot_index(slot);
    return index == TLS_OUT_OF_INDEXES ? nullptr : TlsGetValue(index);
}

bool thread_slot_set(ThreadSlot* slot, void* value) {
    DWORD index = slot_index(slot);
    return index != TLS_OUT_OF_INDEXES && TlsSetValue(index, value);
}
