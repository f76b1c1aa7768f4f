// Pool creation and destruction, and the registry of shared pools: users
// with the same slot size and flags share one pool, counted by reference.
#include <windows.h>
#include "runtime/lists.h"
#include "runtime/pool_internal.h"
#include "runtime/registry.h"

struct SharedPoolEntry {
    NodePool* pool;
    int64_t slot_size;
    int32_t flags;
    int64_t references;
};

static void* g_shared_pools;            // newest entry (block list)
static RunOnceWord g_shared_once;
static CRITICAL_SECTION g_shared_lock;

static void init_shared_lock() {
    InitializeCriticalSection(&g_shared_lock);
}

static SharedPoolEntry* find_shared(int64_t slot_size, int32_t flags) {
    for (void* at = g_shared_pools; at; at = block_list_older(at)) {
        SharedPoolEntry* entry = static_cast<SharedPoolEntry*>(at);
        if (entry->slot_size == slot_size && entry->flags == flags) {
            return entry;
        }
    }
    return nullptr;
}

static NodePool* enter_shared(NodePool* fresh, int32_t flags) {
    SharedPoolEntry* entry = find_shared(pool_slot_size(fresh), flags);
    if (entry) {
        entry->references++;
        pool_destroy_private(fresh);
        return entry->pool;
    }
    void* block = block_list_add(&g_shared_pools, 16 + sizeof(SharedPoolEntry));
    if (!block) {
        pool_destroy_private(fresh);
        return nullptr;
    }
    entry = static_cast<SharedPoolEntry*>(block);
    entry->pool = fresh;
    entry->slot_size = pool_slot_size(fresh);
    entry->flags = flags;
    entry->references = 1;
    pool_set_share_entry(fresh, entry);
    return fresh;
}

NodePool* pool_create(int64_t node_size, int32_t minimum, int32_t maximum, int32_t flags) {
    if (!(flags & POOL_SHARED)) {
        return pool_create_private(node_size, minimum, maximum, flags);
    }
    // The candidate is made first to learn its slot size; it is dropped
    // again when a pool of that size and flags already exists.
    NodePool* fresh = pool_create_private(node_size, minimum, maximum, flags & ~POOL_SHARED);
    if (!fresh) {
        return nullptr;
    }
    run_once(&g_shared_once, init_shared_lock);
    EnterCriticalSection(&g_shared_lock);
    NodePool* pool = enter_shared(fresh, flags);
    LeaveCriticalSection(&g_shared_lock);
    return pool;
}

void pool_destroy(NodePool* pool) {
    if (!pool) {
        return;
    }
    SharedPoolEntry* entry = static_cast<SharedPoolEntry*>(pool_share_entry(pool));
    if (!entry) {
        pool_destroy_private(pool);
        return;
    }
    EnterCriticalSection(&g_shared_lock);
    if (--entry->references == 0) {
        block_list_remove(&g_shared_pools, entry);
        pool_destroy_private(pool);
    }
    LeaveCriticalSection(&g_shared_lock);
}
