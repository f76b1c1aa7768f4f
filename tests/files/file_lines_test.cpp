// Reading lines back: every line-end kind, byte-order mark, broken UTF-8,
// long lines, both with and without the buffer; mixed reads and writes.
#include <vector>
#include "files_fixture.h"
#include "files/files.h"

namespace {

struct LineCase {
    const char* what;
    std::string bytes;
    std::vector<std::wstring> lines;
};

const LineCase kLineCases[] = {
    {"LF", "a\nbb\nccc\n", {L"a", L"bb", L"ccc"}},
    {"CR", "a\rbb\rccc\r", {L"a", L"bb", L"ccc"}},
    {"CR LF", "a\r\nbb\r\nccc\r\n", {L"a", L"bb", L"ccc"}},
    {"mixed", "a\r\n\nb\rc\n\rd", {L"a", L"", L"b", L"c", L"", L"d"}},
    {"last line without end", "x\r\nlast", {L"x", L"last"}},
    {"trailing lone CR", "x\r\ny\r", {L"x", L"y"}},
    {"NUL ends a line", std::string("ab\0cd\n", 6), {L"ab", L"cd"}},
    {"byte-order mark kept", "\xEF\xBB\xBFlanguage = 1\r\n", {L"\uFEFFlanguage = 1"}},
    {"multi-byte sequences", "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\n", {L"\u00e4\u20ac\U0001F600"}},
    {"invalid lead bytes", "a\x80" "b\xFF" "c\n", {L"a?b?c"}},
    {"truncated sequence at the end", "ok\nab\xE2\x82", {L"ok", L"ab"}},
    {"broken sequence before a line end", "a\xC3\nb\n", {L"a?", L"b"}},
    {"broken sequence before NUL", std::string("a\xE2\x82\0z\n", 6), {L"a?", L"z"}},
    {"empty file", "", {}},
};

std::vector<std::wstring> read_all_lines(int64_t id) {
    std::vector<std::wstring> lines;
    while (file_eof(id) == 0 && lines.size() < 100) {
        lines.push_back(produce([&](int64_t out) { file_read_line(id, out); }));
    }
    return lines;
}

}  // namespace

TEST_F(FilesTest, LinesReadBackInEveryLineEndKind) {
    for (int32_t buffering : {0, static_cast<int32_t>(FILE_FLAG_NO_BUFFER)}) {
        for (const LineCase& line_case : kLineCases) {
            SCOPED_TRACE(std::string(line_case.what) + (buffering ? " (unbuffered)" : ""));
            std::wstring name = path(L"case.txt");
            write_bytes(name, line_case.bytes);
            ASSERT_NE(file_open_general(0, name.c_str(), FILE_MODE_READ, static_cast<int32_t>(ENCODING_UTF8) | buffering), 0);
            EXPECT_EQ(read_all_lines(0), line_case.lines);
            EXPECT_EQ(file_eof(0), buffering ? -1 : 1);
            file_close(0);
        }
    }
}

TEST_F(FilesTest, LinesHaveNoLengthLimit) {
    std::string line(100000, 'x');
    line[99999] = 'y';
    std::wstring name = path(L"long.txt");
    write_bytes(name, line + "\r\n\xC3\xA4" + line + "\n");
    ASSERT_NE(file_open_read(0, name.c_str()), 0);
    std::vector<std::wstring> lines = read_all_lines(0);
    file_close(0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::wstring(line.begin(), line.end()));
    EXPECT_EQ(lines[1], L"\u00e4" + std::wstring(line.begin(), line.end()));
}

// A bounded line read passes over an overlong line (CR LF, LF or the end
// of the file after it) and goes on with the next one.
TEST_F(FilesTest, LimitedLinesPassOverLongOnes) {
    std::wstring name = path(L"limited.txt");
    write_bytes(name, "short\r\n" + std::string(10000, 'x') + "\r\n\xC3\xA4" "fter\n" +
                          std::string(5000, 'y'));
    ASSERT_NE(file_open_read(0, name.c_str()), 0);
    std::vector<std::pair<bool, std::wstring>> lines;
    while (file_eof(0) == 0) {
        bool whole = false;
        std::wstring text =
            produce([&](int64_t out) { whole = file_read_line_limited(0, 4096, out); });
        lines.emplace_back(whole, text);
    }
    file_close(0);
    std::vector<std::pair<bool, std::wstring>> expected = {
        {true, L"short"}, {false, L""}, {true, L"\u00e4fter"}, {false, L""}};
    EXPECT_EQ(lines, expected);
}

TEST_F(FilesTest, Utf16LinesReadBack) {
    std::wstring name = path(L"wide.txt");
    write_bytes(name, std::string("a\0\r\0\n\0\xAC\x20\r\0b\0\n\0", 14));
    ASSERT_NE(file_open_general(0, name.c_str(), FILE_MODE_READ, ENCODING_UTF16), 0);
    EXPECT_EQ(read_all_lines(0), (std::vector<std::wstring>{L"a", L"\u20ac", L"b"}));
    file_close(0);
}

// The write lands where the reader stopped, although the buffer had read
// the whole file ahead; the next read goes on behind the written bytes.
TEST_F(FilesTest, AlternateReadsAndWritesKeepOnePosition) {
    std::wstring name = path(L"mixed.txt");
    write_bytes(name, "one\r\ntwo\r\nthree\r\n");
    ASSERT_NE(file_open(0, name.c_str()), 0);
    EXPECT_EQ(produce([](int64_t out) { file_read_line(0, out); }), L"one");
    file_write_line(0, L"XY");
    EXPECT_EQ(produce([](int64_t out) { file_read_line(0, out); }), L"");
    EXPECT_EQ(produce([](int64_t out) { file_read_line(0, out); }), L"three");
    EXPECT_NE(file_eof(0), 0);
    file_write_line(0, L"end");
    file_close(0);
    EXPECT_EQ(read_bytes(name), "one\r\nXY\r\n\nthree\r\nend\r\n");
}

TEST_F(FilesTest, FileOpenCreatesAMissingFileAndReadsItEmpty) {
    std::wstring name = path(L"fresh.txt");
    ASSERT_NE(file_open(0, name.c_str()), 0);
    EXPECT_EQ(file_eof(0), 1);
    file_close(0);
    EXPECT_EQ(read_bytes(name), "");
}

TEST_F(FilesTest, IdsThatNeverOpenedReadAsNothing) {
    EXPECT_EQ(file_eof(7), 0);
    EXPECT_EQ(produce([](int64_t out) { file_read_line(7, out); }), L"");
    std::wstring missing = path(L"missing.txt");
    EXPECT_EQ(file_open_read(7, missing.c_str()), 0);
    EXPECT_EQ(file_eof(7), 0);
}

TEST_F(FilesTest, StringReadWithoutLineSplittingStopsAtTheLimit) {
    std::wstring name = path(L"raw.txt");
    write_bytes(name, "ab\r\ncd\nef");
    ASSERT_NE(file_open_read(0, name.c_str()), 0);
    EXPECT_EQ(produce([](int64_t out) { file_read_string(0, ENCODING_UTF8, READ_NO_LINES, 6, out); }),
              L"ab\r\ncd");
    EXPECT_EQ(produce([](int64_t out) { file_read_string(0, ENCODING_UTF8, READ_NO_LINES, -1, out); }),
              L"\nef");
    file_close(0);
}
