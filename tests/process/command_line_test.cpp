// Command-line splitting, read by the helper program from the command line
// it really received: each case starts it with an exact command line.
#include "process_fixture.h"
#include "support/child_process.h"

namespace {

struct SplitCase {
    const wchar_t* line;
    int32_t count;
    std::vector<std::wstring> parameters;
    // program_parameter(0), then two reads of the next parameter
    std::vector<std::wstring> reads;
};

const SplitCase kSplitCases[] = {
    {L"\"C:\\Setup dir\\setup.exe\" -admin", 1, {L"-admin"}, {L"-admin", L"", L""}},
    {L"setup.exe   -admin   ", 1, {L"-admin"}, {L"-admin", L"", L""}},
    {L"setup.exe \"-admin\"", 1, {L"-admin"}, {L"-admin", L"", L""}},
    {L"setup.exe -ad\"m i\"n", 1, {L"-adm in"}, {L"-adm in", L"", L""}},
    {L"setup.exe \"a b\"c", 2, {L"a b", L"c"}, {L"a b", L"c", L""}},
    {L"setup.exe \"\"  x", 2, {L"", L"x"}, {L"", L"x", L""}},
    {L"setup.exe\t-admin", 0, {}, {L"", L"", L""}},
    {L"setup.exe /dir=\"C:\\Program Files\" a\\\"b c\"", 2,
     {L"/dir=C:\\Program Files", L"a\\b c"}, {L"/dir=C:\\Program Files", L"a\\b c", L""}},
    {L"\"unclosed name -admin", 0, {}, {L"", L"", L""}},
    {L"   ", -1, {}, {L"", L"", L""}},
};

std::vector<std::wstring> run_with_line(const wchar_t* line, const wchar_t* application) {
    std::wstring out = scratch_folder() + L"split.txt";
    child_setup(L"record", out);
    std::wstring folder = scratch_folder();
    ChildOptions options;
    options.application = application;
    options.directory = folder.c_str();
    if (child_run(line, options, 30000, 98, 99) == 99) {
        return {};
    }
    return read_record(out);
}

}  // namespace

TEST(CommandLine, ChildrenSplitTheirExactCommandLines) {
    std::wstring child = child_path();
    for (const SplitCase& split : kSplitCases) {
        SCOPED_TRACE(testing::Message() << "[" << split.line << "]");
        std::vector<std::wstring> lines = run_with_line(split.line, child.c_str());
        size_t parameters = split.parameters.size();
        ASSERT_EQ(lines.size(), 2 + (parameters + 1) + 3 + 2u);
        EXPECT_EQ(lines[0], split.line);
        EXPECT_EQ(lines[1], std::to_wstring(split.count));
        std::vector<std::wstring> got(lines.begin() + 2, lines.begin() + 2 + parameters);
        EXPECT_EQ(got, split.parameters);
        EXPECT_EQ(lines[2 + parameters], L"") << "one past the last parameter";
        std::vector<std::wstring> reads(lines.begin() + 3 + parameters, lines.begin() + 6 + parameters);
        EXPECT_EQ(reads, split.reads);
    }
}

TEST(CommandLine, ProgramFileNameDropsTheLongPathPrefix) {
    std::wstring child = child_path();
    std::vector<std::wstring> lines = run_with_line(L"child -x", (L"\\\\?\\" + child).c_str());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), child);
    std::vector<std::wstring> plain = run_with_line(L"child -x", child.c_str());
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(plain.back(), child);
}
