// Node pools: fixed-size nodes handed out from chunks of the main heap.
// A chunk goes back to the heap as soon as its last node is freed.
#include <windows.h>
#include "runtime/lists.h"
#include "runtime/pool_internal.h"
#include "runtime/runtime.h"

struct PoolChunk {
    PoolChunk* next;
    PoolChunk* previous;
    void* free_slots;       // slots given back, linked through their first word
    int32_t capacity;
    int32_t next_unused;    // index of the first slot never handed out
    int32_t free_count;     // slots on free_slots
};
static_assert(sizeof(PoolChunk) == 40, "chunk header is 40 bytes");

struct NodePool {
    PoolChunk* full;
    PoolChunk* open;
    void* share_entry;      // entry in the shared-pool registry, or null
    int64_t total_slots;
    int64_t slot_size;
    int32_t minimum;
    int32_t maximum;
    int32_t locked;
    CRITICAL_SECTION lock;
};

// Chunks currently allocated by all pools, for leak checks.
static volatile LONG64 g_live_chunks;

int64_t pool_chunk_count() {
    return InterlockedCompareExchange64(&g_live_chunks, 0, 0);
}

static void lock_pool(NodePool* pool) {
    if (pool->locked) {
        EnterCriticalSection(&pool->lock);
    }
}

static void unlock_pool(NodePool* pool) {
    if (pool->locked) {
        LeaveCriticalSection(&pool->lock);
    }
}

static void unlink_chunk(PoolChunk** head, PoolChunk* chunk) {
    if (chunk->previous) {
        chunk->previous->next = chunk->next;
    } else {
        *head = chunk->next;
    }
    if (chunk->next) {
        chunk->next->previous = chunk->previous;
    }
}

static void push_chunk(PoolChunk** head, PoolChunk* chunk) {
    chunk->previous = nullptr;
    chunk->next = *head;
    if (*head) {
        (*head)->previous = chunk;
    }
    *head = chunk;
}

static int chunk_is_full(const PoolChunk* chunk) {
    return chunk->free_count == 0 && chunk->next_unused == chunk->capacity;
}

static char* chunk_slot(NodePool* pool, PoolChunk* chunk, int64_t index) {
    return reinterpret_cast<char*>(chunk + 1) + index * pool->slot_size;
}

NodePool* pool_create_private(int64_t node_size, int32_t minimum, int32_t maximum, int32_t flags) {
    if (node_size < 0 || node_size > (INT64_C(1) << 32)) {
        return nullptr;
    }
    NodePool* pool = static_cast<NodePool*>(heap_alloc(sizeof(NodePool)));
    if (!pool) {
        return nullptr;
    }
    pool->slot_size = ((node_size + 7) & ~INT64_C(7)) + 8;
    pool->minimum = minimum < 1 ? 1 : minimum;
    pool->maximum = maximum < pool->minimum ? pool->minimum : maximum;
    pool->locked = (flags & POOL_LOCKED) && !(flags & POOL_UNLOCKED);
    if (pool->locked) {
        InitializeCriticalSection(&pool->lock);
    }
    return pool;
}

// Slots for a new chunk: a sixteenth of what the pool holds, in steps of
// 16, kept between the pool's minimum and maximum.
static int64_t new_chunk_slots(const NodePool* pool) {
    int64_t n = (pool->total_slots / 16) & ~INT64_C(15);
    if (n < pool->minimum) {
        n = pool->minimum;
    }
    return n > pool->maximum ? pool->maximum : n;
}

static PoolChunk* allocate_chunk(NodePool* pool, int64_t slots) {
    if (slots > (INT64_MAX - 40) / pool->slot_size) {
        return nullptr;
    }
    PoolChunk* chunk = static_cast<PoolChunk*>(heap_alloc_raw(40 + slots * pool->slot_size));
    if (chunk) {
        chunk->free_slots = nullptr;
        chunk->capacity = static_cast<int32_t>(slots);
        chunk->next_unused = 1;
        chunk->free_count = 0;
        InterlockedIncrement64(&g_live_chunks);
    }
    return chunk;
}

// Hands out slot `slot` of chunk: its first word points back to the chunk.
static char* hand_out(char* slot, PoolChunk* chunk) {
    *reinterpret_cast<PoolChunk**>(slot) = chunk;
    return slot + 8;
}

static char* node_from_new_chunk(NodePool* pool) {
    PoolChunk* chunk = allocate_chunk(pool, new_chunk_slots(pool));
    if (!chunk) {
        chunk = allocate_chunk(pool, 1);
    }
    if (!chunk) {
        return nullptr;
    }
    pool->total_slots += chunk->capacity;
    push_chunk(chunk->capacity > 1 ? &pool->open : &pool->full, chunk);
    return hand_out(chunk_slot(pool, chunk, 0), chunk);
}

static char* node_from_open_chunk(NodePool* pool) {
    PoolChunk* chunk = pool->open;
    char* slot;
    if (chunk->free_slots) {
        slot = static_cast<char*>(chunk->free_slots);
        chunk->free_slots = *reinterpret_cast<void**>(slot);
        chunk->free_count--;
    } else {
        slot = chunk_slot(pool, chunk, chunk->next_unused++);
    }
    if (chunk_is_full(chunk)) {
        unlink_chunk(&pool->open, chunk);
        push_chunk(&pool->full, chunk);
    }
    return hand_out(slot, chunk);
}

void* pool_alloc(NodePool* pool) {
    if (!pool) {
        return nullptr;
    }
    lock_pool(pool);
    char* node = pool->open ? node_from_open_chunk(pool) : node_from_new_chunk(pool);
    unlock_pool(pool);
    return node;
}

static void free_chunk(NodePool* pool, PoolChunk** list, PoolChunk* chunk) {
    unlink_chunk(list, chunk);
    pool->total_slots -= chunk->capacity;
    heap_free(chunk);
    InterlockedDecrement64(&g_live_chunks);
}

void pool_free(NodePool* pool, void* node) {
    if (!pool || !node) {
        return;
    }
    lock_pool(pool);
    char* slot = static_cast<char*>(node) - 8;
    PoolChunk* chunk = *reinterpret_cast<PoolChunk**>(slot);
    int was_full = chunk_is_full(chunk);
    *reinterpret_cast<void**>(slot) = chunk->free_slots;
    chunk->free_slots = slot;
    chunk->free_count++;
    if (chunk->free_count == chunk->next_unused) {
        free_chunk(pool, was_full ? &pool->full : &pool->open, chunk);
    } else if (was_full) {
        unlink_chunk(&pool->full, chunk);
        push_chunk(&pool->open, chunk);
    }
    unlock_pool(pool);
}

void pool_clear(NodePool* pool) {
    if (!pool) {
        return;
    }
    lock_pool(pool);
    while (pool->full) {
        free_chunk(pool, &pool->full, pool->full);
    }
    while (pool->open) {
        free_chunk(pool, &pool->open, pool->open);
    }
    pool->total_slots = 0;
    unlock_pool(pool);
}

void pool_destroy_private(NodePool* pool) {
    pool_clear(pool);
    if (pool->locked) {
        DeleteCriticalSection(&pool->lock);
    }
    heap_free(pool);
}

void* pool_share_entry(NodePool* pool) {
    return pool->share_entry;
}

void pool_set_share_entry(NodePool* pool, void* entry) {
    pool->share_entry = entry;
}

int64_t pool_slot_size(const NodePool* pool) {
    return pool->slot_size;
}
