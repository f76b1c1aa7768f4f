// Environment variables: read whole at any length, empty when unset.
#include "process_fixture.h"
#include "process/launch.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

TEST(Environment, ValuesComeBackWholeAndUnsetOnesEmpty) {
    std::wstring long_value(20000, L'v');
    long_value.back() = L'!';
    ASSERT_EQ(env_set(L"PH_TEST_LONG", long_value.c_str()), 1);
    EXPECT_EQ(produce(env_get, L"PH_TEST_LONG"), long_value);
    ASSERT_EQ(env_set(L"PH_TEST_SHORT", L"C:\\Users\\x\\AppData\\Roaming"), 1);
    EXPECT_EQ(produce(env_get, L"PH_TEST_SHORT"), L"C:\\Users\\x\\AppData\\Roaming");
    ASSERT_EQ(env_set(L"PH_TEST_SHORT", nullptr), 1);
    EXPECT_EQ(produce(env_get, L"PH_TEST_SHORT"), L"");
    env_set(L"PH_TEST_EMPTY", L"");
    EXPECT_EQ(produce(env_get, L"PH_TEST_EMPTY"), L"");
    EXPECT_EQ(produce(env_get, L"PH_TEST_NEVER_SET"), L"");
}

// A name built in the temporary buffer at the output position, with a value
// long enough to grow the buffer: the name is read before it is overwritten.
TEST(Environment, NameBuiltAtTheOutputPosition) {
    std::wstring value(30000, L'w');
    ASSERT_EQ(env_set(L"PH_TEST_BUILT", value.c_str()), 1);
    TempScope scope;
    temp_append(L"PH_TEST_BUILT");
    int64_t capacity = g_runtime.temp.capacity;
    env_get(scope.text(), scope.start);
    EXPECT_GT(g_runtime.temp.capacity, capacity);
    std::wstring got = scope.text();
    EXPECT_TRUE(got == value) << got.size() << " units came back";
}
