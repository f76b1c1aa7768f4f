// Linked lists with a current element, and the pools their nodes come from.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "runtime/lists.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

struct Number {
    int64_t value;
};

static std::vector<int64_t> values_of(LinkedList* list) {
    std::vector<int64_t> values;
    list_reset(list);
    while (Number* n = static_cast<Number*>(list_next(list))) {
        values.push_back(n->value);
    }
    return values;
}

static void add_number(LinkedList* list, int64_t value) {
    static_cast<Number*>(list_add(list))->value = value;
}

// Blocks in use in the string heap, counted by walking it.
static int64_t string_heap_blocks() {
    int64_t blocks = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(g_runtime.string_heap);
    while (HeapWalk(g_runtime.string_heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            blocks++;
        }
    }
    HeapUnlock(g_runtime.string_heap);
    return blocks;
}

TEST(Lists, NewListIsEmpty) {
    ListVariable variable = {};
    LinkedList* list = list_create(sizeof(Number), &variable, nullptr, 0);
    EXPECT_EQ(variable.list, list);
    EXPECT_EQ(list_size(list), 0);
    EXPECT_EQ(list_next(list), nullptr);
    EXPECT_EQ(list_select(list, 0), nullptr);
    list_free(list);
}

TEST(Lists, AddGoesAfterTheCurrentElementAndResetAddsFirst) {
    ListVariable variable = {};
    LinkedList* list = list_create(sizeof(Number), &variable, nullptr, 0);
    add_number(list, 1);
    add_number(list, 2);
    void* third = list_add(list);
    static_cast<Number*>(third)->value = 3;
    EXPECT_EQ(static_cast<char*>(variable.current) + 16, third);
    EXPECT_EQ(values_of(list), (std::vector<int64_t>{1, 2, 3}));
    list_reset(list);
    EXPECT_EQ(variable.current, nullptr);
    add_number(list, 0);
    EXPECT_EQ(values_of(list), (std::vector<int64_t>{0, 1, 2, 3}));
    list_select(list, 1);
    add_number(list, 15);
    EXPECT_EQ(values_of(list), (std::vector<int64_t>{0, 1, 15, 2, 3}));
    EXPECT_EQ(list_size(list), 5);
    list_free(list);
    EXPECT_EQ(variable.list, nullptr);
    EXPECT_EQ(variable.current, nullptr);
}

TEST(Lists, NextStopsAtTheEndWithTheLastElementCurrent) {
    ListVariable variable = {};
    LinkedList* list = list_create(sizeof(Number), &variable, nullptr, 0);
    for (int i = 1; i <= 3; i++) {
        add_number(list, i);
    }
    list_reset(list);
    list_next(list);
    list_next(list);
    void* last = list_next(list);
    EXPECT_EQ(list_next(list), nullptr);
    EXPECT_EQ(list_next(list), nullptr);
    EXPECT_EQ(static_cast<char*>(variable.current) + 16, last);
    add_number(list, 4);    // after the last element
    EXPECT_EQ(values_of(list), (std::vector<int64_t>{1, 2, 3, 4}));
    list_free(list);
}

TEST(Lists, SelectInAndOutOfRange) {
    ListVariable variable = {};
    LinkedList* list = list_create(sizeof(Number), &variable, nullptr, 0);
    for (int i = 0; i < 50; i++) {
        add_number(list, i);
    }
    // Each select starts from the first, last or current node, whichever
    // is nearest; every path must land on the right element.
    const int64_t order[] = {49, 0, 25, 26, 10, 40, 39, 1, 48, 24};
    for (int64_t index : order) {
        Number* n = static_cast<Number*>(list_select(list, index));
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->value, index);
    }
    EXPECT_EQ(list_select(list, 50), nullptr);
    EXPECT_EQ(variable.current, nullptr);
    EXPECT_EQ(static_cast<Number*>(list_next(list))->value, 0);
    EXPECT_EQ(list_select(list, -1), nullptr);
    EXPECT_EQ(static_cast<Number*>(list_select(list, 49))->value, 49);
    list_free(list);
}

TEST(Lists, ClearAndFreeReleaseEveryString) {
    int64_t blocks_before = string_heap_blocks();
    LinkedList* list = list_create(sizeof(wchar_t*), nullptr, STRING_ELEMENT, 0);
    const wchar_t* parts[] = {L"C:\\", L"C:\\Program Files\\", L"C:\\Program Files\\PikeHarbour\\"};
    for (const wchar_t* part : parts) {
        string_assign(static_cast<wchar_t**>(list_add(list)), part);
    }
    EXPECT_EQ(string_heap_blocks(), blocks_before + 3);
    list_clear(list);
    EXPECT_EQ(string_heap_blocks(), blocks_before);
    EXPECT_EQ(list_size(list), 0);
    EXPECT_EQ(list_next(list), nullptr);
    string_assign(static_cast<wchar_t**>(list_add(list)), L"again");
    list_free(list);
    EXPECT_EQ(string_heap_blocks(), blocks_before);
}

TEST(Pools, ListsOfOneElementSizeShareAPool) {
    int64_t chunks_before = pool_chunk_count();
    ListVariable first_variable = {};
    ListVariable second_variable = {};
    LinkedList* first = list_create(24, &first_variable, nullptr, 0);
    LinkedList* second = list_create(24, &second_variable, nullptr, 0);
    for (int i = 0; i < 8; i++) {
        add_number(first, 100 + i);
        add_number(second, 200 + i);
    }
    // One shared pool: the 16 nodes of both lists fill its first chunk.
    EXPECT_EQ(pool_chunk_count(), chunks_before + 1);
    list_free(first);
    EXPECT_EQ(pool_chunk_count(), chunks_before + 1);
    std::vector<int64_t> expected;
    for (int i = 0; i < 8; i++) {
        expected.push_back(200 + i);
    }
    EXPECT_EQ(values_of(second), expected);
    add_number(second, 300);
    list_free(second);
    EXPECT_EQ(pool_chunk_count(), chunks_before);
}

TEST(Pools, ChunksGrowWithThePoolAndGoBackWhenEmpty) {
    int64_t chunks_before = pool_chunk_count();
    NodePool* pool = pool_create(40, 16, 256, POOL_LOCKED);
    std::vector<void*> nodes;
    for (int i = 0; i < 4096 + 1; i++) {
        nodes.push_back(pool_alloc(pool));
    }
    // 16-slot chunks up to 256 slots, then larger ones, at most 256 each;
    // 4096 slots make the next chunk 256 slots.
    int64_t chunks = pool_chunk_count() - chunks_before;
    EXPECT_GT(chunks, 16);
    EXPECT_LT(chunks, 256);
    for (size_t i = 0; i < nodes.size(); i += 2) {
        pool_free(pool, nodes[i]);
    }
    for (size_t i = 1; i < nodes.size(); i += 2) {
        pool_free(pool, nodes[i]);
    }
    EXPECT_EQ(pool_chunk_count(), chunks_before);
    void* a = pool_alloc(pool);
    EXPECT_EQ(pool_chunk_count(), chunks_before + 1);
    pool_clear(pool);
    EXPECT_EQ(pool_chunk_count(), chunks_before);
    (void)a;
    pool_destroy(pool);
}
