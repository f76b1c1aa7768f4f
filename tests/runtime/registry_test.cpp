// The object registry: static and dynamic ids, release order and walks.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "runtime/registry.h"

// A kind whose native object is an event handle, closed on release.
struct TestObject {
    HANDLE handle;
    int64_t value;
};

static ObjectTable* g_table;
static std::vector<int64_t> g_released;

static void release_test_object(int64_t id) {
    TestObject* object = static_cast<TestObject*>(registry_lookup(g_table, id));
    if (!object) {
        return;
    }
    g_released.push_back(id);
    CloseHandle(object->handle);
    registry_release(g_table, id);
}

static TestObject* create_object(int64_t id) {
    TestObject* object = static_cast<TestObject*>(registry_allocate(g_table, id));
    if (object) {
        object->handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    return object;
}

static int handle_is_open(HANDLE handle) {
    DWORD flags;
    return GetHandleInformation(handle, &flags) != 0;
}

class Registry : public testing::Test {
protected:
    void SetUp() override {
        g_table = registry_create_kind(sizeof(TestObject), 16, release_test_object);
        g_released.clear();
    }
    void TearDown() override {
        registry_release_all(g_table);
    }
};

TEST_F(Registry, StaticRecordMemoryIsReusedAfterRelease) {
    TestObject* first = create_object(0);
    registry_release(g_table, 0);
    EXPECT_EQ(registry_lookup(g_table, 0), nullptr);
    TestObject* second = create_object(0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(registry_lookup(g_table, 0), second);
}

TEST_F(Registry, AllocatingALiveStaticIdClosesTheOldObjectFirst) {
    TestObject* object = create_object(2);
    HANDLE old_handle = object->handle;
    object->value = 7;
    TestObject* again = static_cast<TestObject*>(registry_allocate(g_table, 2));
    EXPECT_EQ(again, object);
    EXPECT_EQ(g_released, std::vector<int64_t>{2});
    EXPECT_FALSE(handle_is_open(old_handle));
    EXPECT_EQ(again->handle, nullptr);
    EXPECT_EQ(again->value, 0);
}

TEST_F(Registry, AnyIdRecordsAreDistinctAndZeroFilled) {
    TestObject* a = static_cast<TestObject*>(registry_allocate(g_table, ANY_ID));
    TestObject* b = static_cast<TestObject*>(registry_allocate(g_table, ANY_ID));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->handle, nullptr);
    EXPECT_EQ(b->value, 0);
    a->handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    b->handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(b->handle);
    registry_release(g_table, reinterpret_cast<int64_t>(b));
    registry_release_all(g_table);
    EXPECT_EQ(g_released, std::vector<int64_t>{reinterpret_cast<int64_t>(a)});
}

TEST_F(Registry, ReleaseAllAndIterationOrder) {
    create_object(3);
    create_object(0);
    int64_t older = reinterpret_cast<int64_t>(create_object(ANY_ID));
    int64_t newer = reinterpret_cast<int64_t>(create_object(ANY_ID));

    std::vector<int64_t> walked;
    registry_iterate_start(g_table);
    int64_t id;
    while (registry_iterate_next(g_table, &id)) {
        walked.push_back(id);
    }
    EXPECT_EQ(walked, (std::vector<int64_t>{0, 3, older, newer}));

    registry_release_all(g_table);
    EXPECT_EQ(g_released, (std::vector<int64_t>{0, 3, newer, older}));
    EXPECT_EQ(g_table->dynamic_list, nullptr);
}

TEST_F(Registry, GrowthAndLookupOfUnknownIds) {
    EXPECT_EQ(registry_lookup(g_table, 5), nullptr);
    create_object(20);
    EXPECT_EQ(g_table->capacity, 36);
    EXPECT_NE(registry_lookup(g_table, 20), nullptr);
    // Stray numbers above the capacity are not addresses to read.
    TestObject* dynamic = create_object(ANY_ID);
    const int64_t bogus[] = {36, 0x10000, 0x7FFFFFFFFFFF,
                             reinterpret_cast<int64_t>(dynamic) + 8, -2};
    for (int64_t id : bogus) {
        EXPECT_EQ(registry_lookup(g_table, id), nullptr) << id;
        registry_release(g_table, id);
    }
    EXPECT_EQ(registry_lookup(g_table, reinterpret_cast<int64_t>(dynamic)), dynamic);
    EXPECT_EQ(registry_allocate(g_table, -2), nullptr);
}

static int g_once_runs;

static void count_once() {
    g_once_runs++;
}

TEST(RunOnce, RunsTheFunctionOnce) {
    static RunOnceWord word;
    run_once(&word, count_once);
    run_once(&word, count_once);
    EXPECT_EQ(g_once_runs, 1);
}

TEST(BlockList, AddAndRemoveKeepNeighboursLinked) {
    void* head = nullptr;
    void* a = block_list_add(&head, 32);
    void* b = block_list_add(&head, 32);
    void* c = block_list_add(&head, 32);
    EXPECT_EQ(head, c);
    block_list_remove(&head, b);
    EXPECT_EQ(block_list_older(c), a);
    EXPECT_EQ(block_list_newer(a), c);
    block_list_remove(&head, c);
    EXPECT_EQ(head, a);
    EXPECT_EQ(block_list_newer(a), nullptr);
    block_list_remove(&head, a);
    EXPECT_EQ(head, nullptr);
}
