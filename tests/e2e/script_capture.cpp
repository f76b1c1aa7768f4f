// Stands in for the system's script host in one test: keeps the exact
// command line it was started with and a copy of the script it was given.
#include <windows.h>

static void write_file(const wchar_t* path, const void* data, DWORD size) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, data, size, &written, nullptr);
    CloseHandle(file);
}

int wmain(int argc, wchar_t** argv) {
    const wchar_t* line = GetCommandLineW();
    write_file(L"C:\\ph_unattended\\captured_command_line.txt", line,
               (DWORD)(lstrlenW(line) * sizeof(wchar_t)));
    if (argc > 1) {
        CopyFileW(argv[argc - 1], L"C:\\ph_unattended\\captured_script.vbs", FALSE);
    }
    return 0;
}
