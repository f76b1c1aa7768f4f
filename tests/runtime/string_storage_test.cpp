// String storage: the temporary buffer, assignment and comparison.
#include <gtest/gtest.h>
#include <string>
#include "runtime/runtime.h"
#include "runtime/strings.h"

TEST(StringStorage, BuildingOver20000CharactersKeepsEarlierPieces) {
    int64_t saved = temp_position();
    int64_t capacity = g_runtime.temp.capacity;
    std::wstring expected;
    for (int i = 0; i < 2000; i++) {
        wchar_t piece[16];
        swprintf(piece, 16, L"%09d|", i);
        temp_append(piece);
        expected += piece;
        if (g_runtime.temp.capacity != capacity) {
            // Growth leaves 16384 bytes of room behind the new end.
            EXPECT_EQ(g_runtime.temp.capacity - temp_position(), 16384);
            capacity = g_runtime.temp.capacity;
        }
    }
    EXPECT_EQ(temp_position() - saved, 2 * 20000);
    wchar_t* v = nullptr;
    string_assign_temp(&v, saved);
    EXPECT_EQ(temp_position(), saved);
    EXPECT_EQ(std::wstring(v), expected);
    EXPECT_EQ(HeapSize(g_runtime.string_heap, 0, v), SIZE_T(2 * 20000 + 10));
    string_free(v);
}

TEST(StringStorage, AppendOfNullStillTerminates) {
    TempScope scope;
    temp_append(L"ab");
    temp_append(nullptr);
    EXPECT_STREQ(scope.text(), L"ab");
    EXPECT_EQ(temp_position(), scope.start + 4);
}

// Appending text that lies in the buffer itself, when the append grows it:
// the source is large enough to live in its own mapping, which the growth
// releases, so a copy from the old address would fail at once.
TEST(StringStorage, AppendOfTextInTheBufferSurvivesGrowth) {
    TempScope scope;
    std::wstring piece(400000, L'p');
    piece.back() = L'!';
    temp_append(piece.c_str());
    int64_t capacity = g_runtime.temp.capacity;
    temp_append(scope.text());
    EXPECT_GT(g_runtime.temp.capacity, capacity);
    std::wstring got = scope.text();
    EXPECT_TRUE(got == piece + piece) << got.size() << " units came back";
}

TEST(StringStorage, AssignInitAndFreeOwnTheirBlocks) {
    wchar_t* a = nullptr;
    string_assign(&a, L"hello");
    EXPECT_STREQ(a, L"hello");
    string_assign(&a, a + 2);   // a part of the variable's own text
    EXPECT_STREQ(a, L"llo");
    wchar_t* b = nullptr;
    string_init(&b, a);
    EXPECT_NE(a, b);
    EXPECT_STREQ(b, L"llo");
    string_init(&b, nullptr);
    EXPECT_STREQ(b, L"llo");
    string_assign(&a, nullptr);
    EXPECT_EQ(a, nullptr);
    string_free(b);
    string_free(nullptr);
}

TEST(StringStorage, ArgumentStepsPastItsTerminator) {
    TempScope scope;
    temp_append(L"C:\\");
    temp_append(L"dir");
    const wchar_t* argument = temp_argument(scope.start);
    EXPECT_STREQ(argument, L"C:\\dir");
    EXPECT_EQ(temp_position(), scope.start + 2 * 7);
}

TEST(StringStorage, EqualAndLessReadNullAsEmpty) {
    EXPECT_EQ(string_equal(nullptr, L""), 1);
    EXPECT_EQ(string_equal(nullptr, nullptr), 1);
    EXPECT_EQ(string_equal(L"a", nullptr), 0);
    EXPECT_EQ(string_equal(L"ab", L"ab"), 1);
    EXPECT_EQ(string_equal(L"ab", L"abc"), 0);
    EXPECT_EQ(string_less(L"", L"x"), 1);
    EXPECT_EQ(string_less(L"x", L""), 0);
    EXPECT_EQ(string_less(nullptr, L"x"), 1);
    EXPECT_EQ(string_less(L"", nullptr), 0);
    // Code units compare unsigned: U+FFFF sorts after every ASCII letter.
    EXPECT_EQ(string_less(L"a", L"\xFFFF"), 1);
    EXPECT_EQ(string_less(L"\xFFFF", L"a"), 0);
}

TEST(MemoryBlocks, SizesAndZeroFill) {
    EXPECT_EQ(memory_alloc(0, 0), nullptr);
    EXPECT_EQ(memory_alloc(-5, 0), nullptr);
    unsigned char* block = static_cast<unsigned char*>(memory_alloc(16, 0));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(block[i], 0);
    }
    void* raw = memory_alloc(16, 1);
    EXPECT_NE(raw, nullptr);
    memory_free(block);
    memory_free(raw);
}
