// Stays though the installer starts no program any more: program_run keeps its list here.
// Start step of the process library: state record, launched-program table
// and the lock of the RunningProgram list. There is no end step: launched
// programs keep their handles until the process ends.
#include "process/process_state.h"
#include "runtime/libraries.h"

ProcessState* g_process_state;
ObjectTable* g_launched_table;
CRITICAL_SECTION g_program_lock;
void* g_running_programs;

static void launched_release(int64_t id) {
    if (id == ANY_ID) {
        registry_release_all(g_launched_table);
        return;
    }
    LaunchedProgram* program = static_cast<LaunchedProgram*>(registry_lookup(g_launched_table, id));
    if (program == nullptr) {
        return;
    }
    CloseHandle(program->process);
    registry_release(g_launched_table, id);
}

void process_library_start() {
    g_process_state = static_cast<ProcessState*>(record_alloc(sizeof(ProcessState), nullptr));
    g_launched_table = registry_create_kind(sizeof(LaunchedProgram), 4, launched_release);
    InitializeCriticalSection(&g_program_lock);
}
