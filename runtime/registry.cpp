// The object registry: one ObjectTable per kind of numbered object, with
// static ids chosen by the program and dynamic ids that are record addresses.
#include <string.h>
#include "runtime/registry.h"
#include "runtime/runtime.h"

static int is_live(const void* record) {
    return record && *static_cast<const int64_t*>(record) != 0;
}

static int is_static_id(const ObjectTable* table, int64_t id) {
    return id >= 0 && id < table->capacity;
}

// An id at or above the capacity names a dynamic record only when it is on
// the table's dynamic list; anything else is a stray number, never an
// address to be read.
static void* dynamic_record(const ObjectTable* table, int64_t id) {
    if (id < 0) {
        return nullptr;
    }
    void* record = reinterpret_cast<void*>(id);
    return block_list_contains(table->dynamic_list, record) ? record : nullptr;
}

ObjectTable* registry_create_kind(int32_t record_size, int32_t growth, ReleaseFunction release) {
    ObjectTable* table = static_cast<ObjectTable*>(heap_alloc(sizeof(ObjectTable)));
    if (!table) {
        return nullptr;
    }
    table->record_size = record_size < 8 ? 8 : record_size;
    table->growth = growth < 1 ? 1 : growth;
    table->capacity = table->growth;
    table->slots = static_cast<void**>(heap_alloc(table->capacity * static_cast<int64_t>(sizeof(void*))));
    table->release = release;
    return table;
}

// Makes slot id exist: capacity becomes id + growth, new slots are null.
static int grow_slots(ObjectTable* table, int64_t id) {
    int64_t capacity = id + table->growth;
    if (capacity > (INT64_MAX / 8) || capacity > (INT64_C(1) << 32)) {
        return 0;
    }
    void* slots = heap_realloc(table->slots, capacity * static_cast<int64_t>(sizeof(void*)));
    if (!slots) {
        return 0;
    }
    table->slots = static_cast<void**>(slots);
    table->capacity = capacity;
    return 1;
}

void* registry_allocate(ObjectTable* table, int64_t id) {
    if (id == ANY_ID) {
        return block_list_add(&table->dynamic_list, table->record_size + 16);
    }
    if (id < 0) {
        return nullptr;
    }
    if (id >= table->capacity && !grow_slots(table, id)) {
        return nullptr;
    }
    void* record = table->slots[id];
    if (record) {
        // The number is taken again: close what it named first.
        if (table->release && is_live(record)) {
            table->release(id);
        }
        return record;
    }
    record = heap_alloc(table->record_size);
    table->slots[id] = record;
    return record;
}

void* registry_lookup(ObjectTable* table, int64_t id) {
    void* record = is_static_id(table, id) ? table->slots[id] : dynamic_record(table, id);
    return is_live(record) ? record : nullptr;
}

void registry_release(ObjectTable* table, int64_t id) {
    if (is_static_id(table, id)) {
        if (table->slots[id]) {
            memset(table->slots[id], 0, static_cast<size_t>(table->record_size));
        }
        return;
    }
    void* record = dynamic_record(table, id);
    if (!record) {
        return;
    }
    if (table->dynamic_cursor == record) {
        table->dynamic_cursor = block_list_newer(record);
    }
    block_list_remove(&table->dynamic_list, record);
}

static int64_t next_live_static(ObjectTable* table) {
    while (table->static_cursor < table->capacity) {
        int64_t id = table->static_cursor++;
        if (is_live(table->slots[id])) {
            return id;
        }
    }
    return -1;
}

void registry_release_all(ObjectTable* table) {
    if (!table->release) {
        return;
    }
    table->static_cursor = 0;
    for (int64_t id = next_live_static(table); id >= 0; id = next_live_static(table)) {
        table->release(id);
    }
    while (table->dynamic_list) {
        void* newest = table->dynamic_list;
        table->release(reinterpret_cast<int64_t>(newest));
        // A release function must take the record off the list; if one did
        // not, take it off here rather than call it again for ever.
        if (table->dynamic_list == newest) {
            registry_release(table, reinterpret_cast<int64_t>(newest));
        }
    }
}

void registry_iterate_start(ObjectTable* table) {
    table->static_cursor = 0;
    void* oldest = table->dynamic_list;
    while (oldest && block_list_older(oldest)) {
        oldest = block_list_older(oldest);
    }
    table->dynamic_cursor = oldest;
}

void* registry_iterate_next(ObjectTable* table, int64_t* id) {
    int64_t slot = next_live_static(table);
    if (slot >= 0) {
        *id = slot;
        return table->slots[slot];
    }
    while (table->dynamic_cursor) {
        void* record = table->dynamic_cursor;
        table->dynamic_cursor = block_list_newer(record);
        if (is_live(record)) {
            *id = reinterpret_cast<int64_t>(record);
            return record;
        }
    }
    return nullptr;
}
