// String operations at their edges, and results written over their source.
#include <gtest/gtest.h>
#include <stdint.h>
#include <string>
#include "runtime/runtime.h"
#include "runtime/strings.h"

// Runs one text-producing operation at the current position and returns
// its result, checking that the position ends right behind it.
template <typename Operation>
static std::wstring result_of(Operation operation) {
    TempScope scope;
    operation(scope.start);
    std::wstring text = scope.text();
    EXPECT_EQ(temp_position(), scope.start + 2 * static_cast<int64_t>(text.size()));
    return text;
}

TEST(StringOperations, FindAndFindFrom) {
    const wchar_t* path = L"C:\\Program Files\\";
    EXPECT_EQ(string_find(path, L"\\"), 3);
    EXPECT_EQ(string_find_from(path, L"\\", 4), 17);
    EXPECT_EQ(string_find_from(path, L"\\", 17), 17);
    EXPECT_EQ(string_find_from(path, L"\\", 18), 0);
    EXPECT_EQ(string_find_from(path, L"\\", 0), 3);
    EXPECT_EQ(string_find(path, L"x"), 0);
    EXPECT_EQ(string_find(path, L""), 0);
    EXPECT_EQ(string_find(nullptr, L"a"), 0);
    EXPECT_EQ(string_length(nullptr), 0);
    EXPECT_EQ(string_length(path), 17);
}

TEST(StringOperations, LeftRightMid) {
    struct Case { std::wstring got; const wchar_t* expected; };
    const Case cases[] = {
        {result_of([](int64_t o) { string_left(L"abc", 5, o); }), L"abc"},
        {result_of([](int64_t o) { string_left(L"abc", -1, o); }), L""},
        {result_of([](int64_t o) { string_right(L"abc", 2, o); }), L"bc"},
        {result_of([](int64_t o) { string_right(L"abc", 9, o); }), L"abc"},
        {result_of([](int64_t o) { string_right(nullptr, 2, o); }), L""},
        {result_of([](int64_t o) { string_mid(L"abcdef", 2, 3, o); }), L"bcd"},
        {result_of([](int64_t o) { string_mid(L"abcdef", 0, 2, o); }), L"ab"},
        {result_of([](int64_t o) { string_mid(L"abcdef", 7, 2, o); }), L""},
        {result_of([](int64_t o) { string_mid(L"abcdef", 5, 10, o); }), L"ef"},
        {result_of([](int64_t o) { string_mid(L"abcdef", 2, -4, o); }), L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got, c.expected);
    }
}

TEST(StringOperations, TrimSpacesLowerAndSpaces) {
    EXPECT_EQ(result_of([](int64_t o) { string_trim(L"  a b  ", o); }), L"a b");
    EXPECT_EQ(result_of([](int64_t o) { string_trim(L"\ta ", o); }), L"\ta");
    EXPECT_EQ(result_of([](int64_t o) { string_trim(L"   ", o); }), L"");
    EXPECT_EQ(result_of([](int64_t o) { string_trim_char(L"xxaxx", L"x", o); }), L"a");
    EXPECT_EQ(result_of([](int64_t o) { string_trim_char(L" a ", L"", o); }), L"a");
    EXPECT_EQ(result_of([](int64_t o) { string_trim_left(L"\\\\dir\\", L"\\", o); }), L"dir\\");
    EXPECT_EQ(result_of([](int64_t o) { string_trim_left(L"  a ", nullptr, o); }), L"a ");
    EXPECT_EQ(result_of([](int64_t o) { string_lower(L"C:\\ÄBC", o); }), L"c:\\äbc");
    EXPECT_EQ(result_of([](int64_t o) { string_lower(nullptr, o); }), L"");
    EXPECT_EQ(result_of([](int64_t o) { string_spaces(3, o); }), L"   ");
    EXPECT_EQ(result_of([](int64_t o) { string_spaces(-2, o); }), L"");
}

TEST(StringOperations, Replace) {
    EXPECT_EQ(result_of([](int64_t o) { string_replace(L"a\\\\\\b", L"\\\\", L"\\", o); }),
              L"a\\\\b");
    EXPECT_EQ(result_of([](int64_t o) { string_replace(L"aaa", L"a", L"bb", o); }), L"bbbbbb");
    EXPECT_EQ(result_of([](int64_t o) { string_replace(L"abc", L"", L"x", o); }), L"abc");
    EXPECT_EQ(result_of([](int64_t o) { string_replace(L"abc", L"b", nullptr, o); }), L"ac");
    EXPECT_EQ(result_of([](int64_t o) { string_replace(nullptr, L"b", L"x", o); }), L"");
    EXPECT_EQ(result_of([](int64_t o) { string_replace_ex(L"aAa", L"a", L"x", REPLACE_NO_CASE, 1, -1, o); }),
              L"xxx");
    EXPECT_EQ(result_of([](int64_t o) { string_replace_ex(L"aaaa", L"a", L"x", 0, 2, 2, o); }),
              L"axxa");
    EXPECT_EQ(result_of([](int64_t o) { string_replace_ex(L"abab", L"ab", L"cd", REPLACE_IN_PLACE, 1, -1, o); }),
              L"cdcd");
}

TEST(StringOperations, ReplaceOfTextInTheBufferGrowsSafely) {
    // s lies in the buffer at the output position and the result is longer.
    TempScope scope;
    temp_append(L"x.x.x");
    string_replace(scope.text(), L".", L"<dot>", scope.start);
    EXPECT_STREQ(scope.text(), L"x<dot>x<dot>x");
}

TEST(StringOperations, ToInteger) {
    struct Case { const wchar_t* text; int64_t value; };
    const Case cases[] = {
        {L" 42x", 42}, {L"-$1f", -31}, {L"%101", 5}, {L"+7", 7}, {L"abc", 0},
        {L"1 2", 1}, {L"\t -9", -9}, {L"$FFFFFFFFFFFFFFFF", -1}, {L"-", 0}, {L"", 0},
        {L"18446744073709551617", 1},   // 2^64 + 1 wraps to 1
        {L"-9223372036854775808", INT64_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(string_to_integer(c.text), c.value) << c.text;
    }
    EXPECT_EQ(string_to_integer(nullptr), 0);
}

TEST(StringOperations, FromInteger) {
    struct Case { int64_t value; const wchar_t* text; };
    const Case cases[] = {
        {0, L"0"}, {-1, L"-1"}, {INT64_MIN, L"-9223372036854775808"},
        {INT64_MAX, L"9223372036854775807"}, {1000, L"1000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(result_of([&](int64_t o) { string_from_integer(c.value, o); }), c.text);
    }
}

TEST(StringOperations, Conversions) {
    EXPECT_EQ(result_of([](int64_t o) { string_from_utf8("Gr\xC3\xBC\xC3\x9F" "e", o); }), L"Grüße");
    EXPECT_EQ(result_of([](int64_t o) { string_from_utf8(nullptr, o); }), L"");
    EXPECT_EQ(result_of([](int64_t o) { string_from_utf8("", o); }), L"");
    EXPECT_EQ(result_of([](int64_t o) { string_from_ansi("plain", o); }), L"plain");
    EXPECT_EQ(result_of([](int64_t o) { string_from_ansi(nullptr, o); }), L"");
}

// Pushes the write position so close to the buffer's end that the next
// reservation must grow (and usually move) the buffer.
static void fill_to_capacity_edge() {
    int64_t free_units = (g_runtime.temp.capacity - 4 - temp_position()) / 2 - 8;
    for (int64_t i = 0; i < free_units; i++) {
        temp_append(L"z");
    }
}

TEST(StringOperations, InPlaceChainAcrossBufferGrowth) {
    TempScope scope;
    fill_to_capacity_edge();
    // The path is built across a growth of the buffer; its right-hand part
    // and then the lower case of that are written over it at p.
    int64_t p = temp_position();
    temp_append(L"C:\\SOME\\");
    temp_append(std::wstring(30000, L'Q').c_str());
    string_right(temp_address(p), 30002, p);
    string_lower(temp_address(p), p);
    EXPECT_EQ(std::wstring(temp_address(p)), L"e\\" + std::wstring(30000, L'q'));
    EXPECT_EQ(temp_position(), p + 2 * 30002);

    // A source that sits right at the edge, then a result that needs growth.
    fill_to_capacity_edge();
    int64_t capacity = g_runtime.temp.capacity;
    int64_t q = temp_position();
    temp_append(L"Abc");
    string_replace(temp_address(q), L"b", std::wstring(40000, L'B').c_str(), q);
    EXPECT_GT(g_runtime.temp.capacity, capacity);
    std::wstring replaced = temp_address(q);
    EXPECT_EQ(replaced.size(), 40002u);
    EXPECT_EQ(replaced.front(), L'A');
    EXPECT_EQ(replaced.back(), L'c');
}

TEST(StringOperations, ArgumentInTheBufferSurvivesGrowthOfTheResult) {
    // Protocol step 2: the argument lies before the output position and the
    // result does not fit, so the buffer moves while the operation runs.
    typedef void (*Operation)(const wchar_t*, int64_t);
    const Operation operations[] = {
        [](const wchar_t* s, int64_t o) { string_lower(s, o); },
        [](const wchar_t* s, int64_t o) { string_left(s, 100, o); },
        [](const wchar_t* s, int64_t o) { string_trim(s, o); },
        [](const wchar_t* s, int64_t o) { string_replace(s, L"X", L"x", o); },
    };
    for (Operation operation : operations) {
        TempScope scope;
        fill_to_capacity_edge();
        int64_t saved = temp_position();
        temp_append(L"XXXXX");
        const wchar_t* argument = temp_argument(saved);
        int64_t capacity = g_runtime.temp.capacity;
        int64_t out = temp_position();
        operation(argument, out);
        EXPECT_GT(g_runtime.temp.capacity, capacity);
        std::wstring text = temp_address(out);
        EXPECT_TRUE(text == L"xxxxx" || text == L"XXXXX") << text.c_str();
        EXPECT_STREQ(temp_address(saved), L"XXXXX");
    }
}
