// The process library's state: the parameter position, the launched-program
// table and the lock around the list of RunningProgram records.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/registry.h"

struct ProcessState {
    int32_t parameter_position;     // index of the parameter the next read returns
};

// A record of the launched-program table: one process handle.
struct LaunchedProgram {
    HANDLE process;
};

extern ProcessState* g_process_state;
extern ObjectTable* g_launched_table;
extern CRITICAL_SECTION g_program_lock;
extern void* g_running_programs;    // newest RunningProgram (block list)
