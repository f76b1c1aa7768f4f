// Numbered objects: one ObjectTable per kind, static ids and ANY_ID.
#pragma once
#include <stdint.h>

constexpr int64_t ANY_ID = -1;

typedef void (*ReleaseFunction)(int64_t id);

struct ObjectTable {
    int32_t record_size;
    int32_t growth;
    int64_t capacity;
    void** slots;
    void* dynamic_list;     // newest dynamic record
    ReleaseFunction release;
    int64_t static_cursor;
    void* dynamic_cursor;
};

ObjectTable* registry_create_kind(int32_t record_size, int32_t growth, ReleaseFunction release);
void* registry_allocate(ObjectTable* table, int64_t id);
void* registry_lookup(ObjectTable* table, int64_t id);
void registry_release(ObjectTable* table, int64_t id);
void registry_release_all(ObjectTable* table);
void registry_iterate_start(ObjectTable* table);
void* registry_iterate_next(ObjectTable* table, int64_t* id);

void* block_list_add(void** list_head, int64_t block_size);
void block_list_remove(void** list_head, void* record);
// Walking a block list: the neighbours of a record (null at either end),
// and whether a record is on the list headed by list_head.
void* block_list_older(void* record);
void* block_list_newer(void* record);
int block_list_contains(void* list_head, const void* record);
void* record_alloc(int64_t size, void (*initialiser)(void*));

typedef void* RunOnceWord;   // same size as INIT_ONCE
void run_once(RunOnceWord* word, void (*function)());
