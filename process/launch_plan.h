// What program_run prepares before it starts a program: the startup
// information and the pipe ends for the child and for the record.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "process/launch.h"

struct LaunchPlan {
    STARTUPINFOW startup;
    DWORD creation_flags;
    BOOL inherit_handles;
    WORD show;
    // Ends that belong to the child; closed here once it has started.
    HANDLE child_input;
    HANDLE child_output;
    HANDLE child_error;
    // Ends that the RunningProgram record keeps.
    HANDLE input_write;
    HANDLE output_read;
    HANDLE error_read;
};

void launch_plan_prepare(LaunchPlan* plan, int32_t flags, const RunningProgram* connect);
void launch_plan_close_child_ends(LaunchPlan* plan);
void launch_plan_close_all(LaunchPlan* plan);

RunningProgram* running_program_add(HANDLE process, int32_t process_id, const LaunchPlan* plan,
                                    int32_t flags);
int64_t launch_through_shell(const wchar_t* name, const wchar_t* parameters,
                             const wchar_t* directory, int32_t flags, WORD show);
