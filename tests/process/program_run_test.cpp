// Launching programs: waiting, the command line the child receives, pipes,
// connecting two programs, and the shell fallback for documents.
#include "process_fixture.h"
#include "support/wait.h"
#include "process/launch.h"

namespace {

std::string read_all(HANDLE pipe) {
    std::string text;
    char chunk[256];
    DWORD got = 0;
    while (ReadFile(pipe, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        text.append(chunk, got);
    }
    return text;
}

// Documents of the type ".phdoc" open with the helper program. Wine's shell
// does not look under HKCU\Software\Classes, so the type goes into HKCR (of
// the test prefix).
void register_document_type() {
    std::wstring command = L"\"" + child_path() + L"\" \"%1\"";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".phdoc", nullptr, REG_SZ,
                    L"PikeHarbourTestDoc", 38);
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"PikeHarbourTestDoc\\shell\\open\\command",
                    nullptr, REG_SZ, command.c_str(), static_cast<DWORD>((command.size() + 1) * 2));
}

}  // namespace

TEST(ProgramRun, WaitReturnsAfterTheProgramEnded) {
    std::wstring marker = scratch_folder() + L"waited.txt";
    child_setup(L"sleep", marker);
    EXPECT_EQ(program_run(child_path().c_str(), L"", L"", RUN_WAIT | RUN_HIDE), 1);
    EXPECT_NE(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ProgramRun, NameIsQuotedAndParametersPassUnchanged) {
    std::wstring out = scratch_folder() + L"run.txt";
    std::wstring folder = scratch_folder();
    folder.pop_back();
    child_setup(L"record", out);
    ASSERT_EQ(program_run(child_path().c_str(), L" C:\\Temp\\temp.vbs", folder.c_str(), RUN_WAIT | RUN_HIDE), 1);
    std::vector<std::wstring> lines = read_record(out);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], L"\"" + child_path() + L"\"  C:\\Temp\\temp.vbs");
    EXPECT_EQ(lines[2], L"C:\\Temp\\temp.vbs");
    EXPECT_EQ(lines[lines.size() - 2], folder);

    child_setup(L"record", out);
    std::wstring quoted = L"\"" + child_path() + L"\"";
    ASSERT_EQ(program_run(quoted.c_str(), L"a  b", L"", RUN_WAIT), 1);
    lines = read_record(out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], quoted + L" a  b");
}

TEST(ProgramRun, KeepAndReadGiveTheChildsOutput) {
    child_setup(L"echo", scratch_folder() + L"unused.txt");
    int64_t result = program_run(child_path().c_str(), L"", L"", RUN_KEEP | RUN_READ);
    ASSERT_NE(result, 0);
    RunningProgram* program = reinterpret_cast<RunningProgram*>(result);
    EXPECT_GT(program->process_id, 0);
    EXPECT_EQ(program->input_write, nullptr);
    EXPECT_EQ(program->error_read, nullptr);
    EXPECT_EQ(program->flags, RUN_KEEP | RUN_READ);
    EXPECT_EQ(read_all(program->output_read), "child says hi");
    EXPECT_EQ(WaitForSingleObject(program->process, 10000), WAIT_OBJECT_0);
}

TEST(ProgramRun, WriteAndReadPipesTogether) {
    child_setup(L"upper", scratch_folder() + L"unused.txt");
    int64_t result = program_run(child_path().c_str(), L"", L"", RUN_KEEP | RUN_READ | RUN_WRITE);
    ASSERT_NE(result, 0);
    RunningProgram* program = reinterpret_cast<RunningProgram*>(result);
    DWORD written = 0;
    WriteFile(program->input_write, "pike harbour", 12, &written, nullptr);
    CloseHandle(program->input_write);
    EXPECT_EQ(read_all(program->output_read), "PIKE HARBOUR");
}

TEST(ProgramRun, ConnectFeedsOneProgramsOutputToTheNext) {
    child_setup(L"echo", scratch_folder() + L"unused.txt");
    int64_t first = program_run(child_path().c_str(), L"", L"", RUN_KEEP | RUN_READ);
    ASSERT_NE(first, 0);
    child_setup(L"upper", scratch_folder() + L"unused.txt");
    int64_t second = program_run(child_path().c_str(), L"", L"", RUN_KEEP | RUN_READ | RUN_CONNECT,
                                 reinterpret_cast<RunningProgram*>(first));
    ASSERT_NE(second, 0);
    EXPECT_EQ(read_all(reinterpret_cast<RunningProgram*>(second)->output_read), "CHILD SAYS HI");
}

TEST(ProgramRun, DocumentsOpenThroughTheShellInTheirFolder) {
    register_document_type();
    std::wstring folder = scratch_folder() + L"docs\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring document = folder + L"readme.phdoc";
    HANDLE file = CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    std::wstring out = scratch_folder() + L"shell.txt";
    child_setup(L"record", out);
    EXPECT_EQ(program_run(document.c_str(), L"", L"", RUN_WAIT), 1);
    std::vector<std::wstring> lines = read_record(out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], document);
    EXPECT_EQ(lines[lines.size() - 2] + L"\\", folder);
}

TEST(ProgramRun, NoShellFallbackWhenAPipeIsAsked) {
    register_document_type();
    std::wstring document = scratch_folder() + L"other.phdoc";
    HANDLE file = CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    std::wstring out = scratch_folder() + L"noshell.txt";
    child_setup(L"record", out);
    EXPECT_EQ(program_run(document.c_str(), L"", L"", RUN_KEEP | RUN_READ), 0);
    EXPECT_EQ(program_run(document.c_str(), L"", L"", RUN_READ), 0);
    // Nothing to wait for when nothing was started: that no child records
    // anything can only be shown by giving one the time it would take.
    auto recorded = [&] { return GetFileAttributesW(out.c_str()) != INVALID_FILE_ATTRIBUTES; };
    EXPECT_FALSE(wait_until("a child started through the shell", recorded, 1500));
    EXPECT_EQ(program_run(L"C:\\no such folder\\missing.exe", L"", L"", RUN_WAIT), 0);
}
