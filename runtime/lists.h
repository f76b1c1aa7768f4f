// Doubly linked lists with a current element, and node pools.
#pragma once
#include <stdint.h>

struct NodePool;
struct LinkedList;

// The program's side of a list: the header and the current element's node.
// The current element's data lies 16 bytes into the node.
struct ListVariable {
    LinkedList* list;
    void* current;
};

// A record type: offsets of string fields, ended by -1.
typedef int64_t TypeDescriptor;
extern const TypeDescriptor STRING_ELEMENT[];   // { 0, -1 }

LinkedList* list_create(int64_t element_size, ListVariable* variable,
                        const TypeDescriptor* descriptor, int32_t flags);
void* list_add(LinkedList* list);
void list_reset(LinkedList* list);
void* list_next(LinkedList* list);
int64_t list_size(LinkedList* list);
void* list_select(LinkedList* list, int64_t index);
void list_clear(LinkedList* list);
void list_free(LinkedList* list);

enum : int32_t { POOL_LOCKED = 1, POOL_UNLOCKED = 2, POOL_SHARED = 4 };
NodePool* pool_create(int64_t node_size, int32_t minimum, int32_t maximum, int32_t flags);
void* pool_alloc(NodePool* pool);
void pool_free(NodePool* pool, void* node);
void pool_clear(NodePool* pool);
void pool_destroy(NodePool* pool);
// Chunks that all pools hold at this moment (for leak checks).
int64_t pool_chunk_count();
