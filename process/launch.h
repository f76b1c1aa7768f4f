// Environment variables and launching other programs.
#pragma once
#include <windows.h>
#include <stdint.h>

enum : int32_t {
    RUN_WAIT = 1, RUN_HIDE = 2, RUN_KEEP = 4, RUN_READ = 8,
    RUN_WRITE = 0x10, RUN_ERROR = 0x20, RUN_CONNECT = 0x40,
};

struct RunningProgram {
    HANDLE process;
    int32_t process_id;     // -1 when started through the shell
    HANDLE input_write;
    HANDLE output_read;
    HANDLE error_read;
    int32_t flags;
};

void env_get(const wchar_t* name, int64_t out);
int env_set(const wchar_t* name, const wchar_t* value);   // null value removes
int64_t program_run(const wchar_t* name, const wchar_t* parameters,
                    const wchar_t* directory, int32_t flags,
                    RunningProgram* connect = nullptr);
