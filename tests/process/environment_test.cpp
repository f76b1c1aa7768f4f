// Environment variables: read whole at any length, empty when unset.
#include "process_fixture.h"
#include "process/launch.h"

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
