// Lists of records that each carry a 16-byte link header in front of them:
// the dynamic objects of the registry and the libraries' own record lists.
// The head and both links hold record addresses (header + 16).
#include "runtime/registry.h"
#include "runtime/runtime.h"

struct BlockHeader {
    void* older;    // record of the next older block, or null
    void* newer;    // record of the next newer block, or null
};

static BlockHeader* header_of(void* record) {
    return reinterpret_cast<BlockHeader*>(static_cast<char*>(record) - sizeof(BlockHeader));
}

void* block_list_add(void** list_head, int64_t block_size) {
    if (block_size < static_cast<int64_t>(sizeof(BlockHeader))) {
        return nullptr;
    }
    BlockHeader* header = static_cast<BlockHeader*>(heap_alloc(block_size));
    if (!header) {
        return nullptr;
    }
    void* record = header + 1;
    header->older = *list_head;
    if (*list_head) {
        header_of(*list_head)->newer = record;
    }
    *list_head = record;
    return record;
}

void block_list_remove(void** list_head, void* record) {
    BlockHeader* header = header_of(record);
    if (header->newer) {
        header_of(header->newer)->older = header->older;
    } else {
        *list_head = header->older;
    }
    if (header->older) {
        header_of(header->older)->newer = header->newer;
    }
    heap_free(header);
}

void* block_list_older(void* record) {
    return header_of(record)->older;
}

void* block_list_newer(void* record) {
    return header_of(record)->newer;
}

int block_list_contains(void* list_head, const void* record) {
    for (void* at = list_head; at; at = header_of(at)->older) {
        if (at == record) {
            return 1;
        }
    }
    return 0;
}

void* record_alloc(int64_t size, void (*initialiser)(void*)) {
    void* record = heap_alloc(size);
    if (record && initialiser) {
        initialiser(record);
    }
    return record;
}
