// Helper program of the process tests. PH_CHILD_MODE selects what it does:
//   record  write to PH_CHILD_OUT, one item a line (UTF-16): the command
//           line, the parameter count, parameters 0 to count, the reads
//           program_parameter(0), next, next, the current folder, the
//           program file name
//   echo    write "child says hi" to standard output
//   upper   copy standard input to standard output in capitals
//   sleep   wait 400 ms, then write "done" to PH_CHILD_OUT
#include <windows.h>
#include <string>
#include "process/command_line.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

static std::wstring env(const wchar_t* name) {
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

static std::wstring produce(void (*operation)(int32_t, int64_t), int32_t index) {
    TempScope scope;
    operation(index, scope.start);
    return scope.text();
}

static void write_out(const std::wstring& text) {
    HANDLE file = CreateFileW(env(L"PH_CHILD_OUT").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * 2), &written, nullptr);
    CloseHandle(file);
}

static void record() {
    std::wstring text = std::wstring(GetCommandLineW()) + L"\n";
    int32_t count = program_parameter_count();
    text += std::to_wstring(count) + L"\n";
    for (int32_t i = 0; i <= (count < 0 ? 0 : count); i++) {
        text += produce(program_parameter, i) + L"\n";
    }
    text += produce(program_parameter, 0) + L"\n";
    text += produce([](int32_t, int64_t out) { program_parameter_next(out); }, 0) + L"\n";
    text += produce([](int32_t, int64_t out) { program_parameter_next(out); }, 0) + L"\n";
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    text += std::wstring(folder) + L"\n";
    text += produce([](int32_t, int64_t out) { program_file_name(out); }, 0) + L"\n";
    write_out(text);
}

static void upper() {
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        CharUpperBuffA(chunk, got);
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), chunk, got, &written, nullptr);
    }
}

int main() {
    runtime_start();
    std::wstring mode = env(L"PH_CHILD_MODE");
    if (mode == L"record") {
        record();
    } else if (mode == L"echo") {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "child says hi", 13, &written, nullptr);
    } else if (mode == L"upper") {
        upper();
    } else if (mode == L"sleep") {
        Sleep(400);
        write_out(L"done");
    }
    runtime_end();
}
