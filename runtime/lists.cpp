// Doubly linked lists of fixed-size elements with a current element. Nodes
// come from a pool shared by all lists of the same node size.
#include <stdlib.h>
#include <string.h>
#include "runtime/lists.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

const TypeDescriptor STRING_ELEMENT[] = {0, -1};

struct ListNode {
    ListNode* next;
    ListNode* previous;
};

struct LinkedList {
    ListNode* first;
    ListNode* last;
    ListNode* current;
    void** variable;            // the current-node half of the list variable
    int64_t count;
    int64_t index;              // 0-based index of the current element
    const TypeDescriptor* descriptor;
    NodePool* pool;
    void* extra_blocks;         // chain linked through each block's first word
    ListVariable* list_variable;
    int64_t node_size;
    int32_t flags;
    uint8_t before_first;
    uint8_t needs_init;         // always 0: descriptors here name strings only
    uint8_t owns_variable;
};

static void* node_data(ListNode* node) {
    return node ? reinterpret_cast<char*>(node) + sizeof(ListNode) : nullptr;
}

// Makes node current and tells the list variable.
static void* set_current(LinkedList* list, ListNode* node) {
    list->current = node;
    *list->variable = node;
    return node_data(node);
}

LinkedList* list_create(int64_t element_size, ListVariable* variable,
                        const TypeDescriptor* descriptor, int32_t flags) {
    if (element_size < 0 || element_size > (INT64_C(1) << 31)) {
        return nullptr;
    }
    LinkedList* list = static_cast<LinkedList*>(heap_alloc(sizeof(LinkedList)));
    if (!list) {
        return nullptr;
    }
    list->node_size = element_size + static_cast<int64_t>(sizeof(ListNode));
    list->pool = pool_create(list->node_size, 16, 65536, POOL_SHARED);
    if (!variable) {
        variable = static_cast<ListVariable*>(heap_alloc(sizeof(ListVariable)));
        list->owns_variable = 1;
    }
    if (!list->pool || !variable) {
        pool_destroy(list->pool);
        heap_free(list);
        return nullptr;
    }
    variable->list = list;
    variable->current = nullptr;
    list->list_variable = variable;
    list->variable = &variable->current;
    list->descriptor = descriptor;
    list->flags = flags;
    list->before_first = 1;
    list->index = -1;
    return list;
}

static void link_after(LinkedList* list, ListNode* node, ListNode* previous) {
    ListNode* next = previous ? previous->next : list->first;
    node->previous = previous;
    node->next = next;
    if (previous) {
        previous->next = node;
    } else {
        list->first = node;
    }
    if (next) {
        next->previous = node;
    } else {
        list->last = node;
    }
}

void* list_add(LinkedList* list) {
    ListNode* node = static_cast<ListNode*>(pool_alloc(list->pool));
    if (!node) {
        return nullptr;
    }
    memset(node, 0, static_cast<size_t>(list->node_size));
    if (list->current) {
        link_after(list, node, list->current);
        list->index++;
    } else {
        link_after(list, node, nullptr);
        list->index = 0;
        list->before_first = 0;
    }
    list->count++;
    return set_current(list, node);
}

void list_reset(LinkedList* list) {
    list->before_first = 1;
    list->index = -1;
    set_current(list, nullptr);
}

void* list_next(LinkedList* list) {
    if (!list->current) {
        if (!list->first) {
            return nullptr;
        }
        list->index = 0;
        return set_current(list, list->first);
    }
    if (!list->current->next) {
        return nullptr;
    }
    list->index++;
    return set_current(list, list->current->next);
}

int64_t list_size(LinkedList* list) {
    return list ? list->count : 0;
}

static ListNode* walk(ListNode* node, int64_t steps) {
    for (; steps > 0; steps--) {
        node = node->next;
    }
    for (; steps < 0; steps++) {
        node = node->previous;
    }
    return node;
}

void* list_select(LinkedList* list, int64_t index) {
    int64_t from_index = list->index;
    list->index = index;
    if (index < 0 || index >= list->count) {
        list->before_first = 1;
        return set_current(list, nullptr);
    }
    ListNode* start = list->first;
    int64_t steps = index;
    if (list->count - 1 - index < steps) {
        start = list->last;
        steps = index - (list->count - 1);
    }
    int64_t from_current = index - from_index;
    if (list->current && !list->before_first && llabs(from_current) < llabs(steps)) {
        start = list->current;
        steps = from_current;
    }
    list->before_first = 0;
    return set_current(list, walk(start, steps));
}

static void free_element_strings(const TypeDescriptor* descriptor, char* data) {
    for (const TypeDescriptor* entry = descriptor; entry && *entry >= 0; entry++) {
        wchar_t** field = reinterpret_cast<wchar_t**>(data + *entry);
        string_free(*field);
        *field = nullptr;
    }
}

void list_clear(LinkedList* list) {
    ListNode* node = list->first;
    while (node) {
        ListNode* next = node->next;
        free_element_strings(list->descriptor, static_cast<char*>(node_data(node)));
        pool_free(list->pool, node);
        node = next;
    }
    list->first = nullptr;
    list->last = nullptr;
    list->count = 0;
    list_reset(list);
}

void list_free(LinkedList* list) {
    if (!list) {
        return;
    }
    list_clear(list);
    pool_destroy(list->pool);
    list->list_variable->list = nullptr;
    list->list_variable->current = nullptr;
    while (list->extra_blocks) {
        void* next = *static_cast<void**>(list->extra_blocks);
        heap_free(list->extra_blocks);
        list->extra_blocks = next;
    }
    if (list->owns_variable) {
        heap_free(list->list_variable);
    }
    heap_free(list);
}
