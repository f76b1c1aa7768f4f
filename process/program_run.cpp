// Stays though the installer starts no program any more: the process library launches them.
// Starting other programs: CreateProcessW first, the shell as fallback when
// no pipe is involved.
#include <string.h>
#include "process/launch_plan.h"
#include "process/process_state.h"
#include "runtime/runtime.h"

static const int32_t PIPE_FLAGS = RUN_READ | RUN_WRITE | RUN_ERROR | RUN_CONNECT;
// Longest text accepted for the name or the parameters (a Windows command
// line holds at most 32,767 characters anyway).
static const size_t TEXT_LIMIT = 0x100000;

RunningProgram* running_program_add(HANDLE process, int32_t process_id, const LaunchPlan* plan,
                                    int32_t flags) {
    EnterCriticalSection(&g_program_lock);
    void* block = block_list_add(&g_running_programs, sizeof(RunningProgram));
    LeaveCriticalSection(&g_program_lock);
    RunningProgram* record = static_cast<RunningProgram*>(block);
    if (record == nullptr) {
        return nullptr;
    }
    record->process = process;
    record->process_id = process_id;
    record->input_write = plan->input_write;
    record->output_read = plan->output_read;
    record->error_read = plan->error_read;
    record->flags = flags;
    return record;
}

// The name is quoted unless it already starts with a quote; the parameters
// follow after one space exactly as given.
static wchar_t* build_command_line(const wchar_t* name, const wchar_t* parameters) {
    const wchar_t* program = name ? name : L"";
    const wchar_t* rest = parameters ? parameters : L"";
    size_t name_length = wcslen(program);
    size_t rest_length = wcslen(rest);
    if (name_length > TEXT_LIMIT || rest_length > TEXT_LIMIT) {
        return nullptr;
    }
    wchar_t* line = static_cast<wchar_t*>(heap_alloc((name_length + rest_length + 4) * sizeof(wchar_t)));
    if (line == nullptr) {
        return nullptr;
    }
    bool quote = program[0] != L'"';
    size_t at = 0;
    if (quote) {
        line[at] = L'"';
        at++;
    }
    memcpy(line + at, program, name_length * sizeof(wchar_t));
    at += name_length;
    if (quote) {
        line[at] = L'"';
        at++;
    }
    if (rest_length > 0) {
        line[at] = L' ';
        memcpy(line + at + 1, rest, rest_length * sizeof(wchar_t));
        at += rest_length + 1;
    }
    line[at] = 0;
    return line;
}

static int64_t finish_start(PROCESS_INFORMATION* started, LaunchPlan* plan, int32_t flags) {
    launch_plan_close_child_ends(plan);
    CloseHandle(started->hThread);
    if (flags & RUN_WAIT) {
        WaitForSingleObject(started->hProcess, INFINITE);
    }
    if (flags & RUN_KEEP) {
        RunningProgram* record = running_program_add(started->hProcess,
                                                     static_cast<int32_t>(started->dwProcessId),
                                                     plan, flags);
        if (record == nullptr) {
            launch_plan_close_all(plan);
        }
        return reinterpret_cast<int64_t>(record);
    }
    CloseHandle(started->hProcess);
    return 1;
}

int64_t program_run(const wchar_t* name, const wchar_t* parameters,
                    const wchar_t* directory, int32_t flags, RunningProgram* connect) {
    wchar_t* line = build_command_line(name, parameters);
    if (line == nullptr) {
        return 0;
    }
    LaunchPlan plan;
    launch_plan_prepare(&plan, flags, connect);
    const wchar_t* folder = (directory != nullptr && directory[0] != 0) ? directory : nullptr;
    PROCESS_INFORMATION started = {};
    BOOL created = CreateProcessW(nullptr, line, nullptr, nullptr, plan.inherit_handles,
                                  plan.creation_flags, nullptr, folder, &plan.startup, &started);
    heap_free(line);
    if (created) {
        return finish_start(&started, &plan, flags);
    }
    launch_plan_close_all(&plan);
    if (flags & PIPE_FLAGS) {
        return 0;
    }
    return launch_through_shell(name, parameters, directory, flags, plan.show);
}
