// Startup information and standard-stream pipes for program_run.
#include "process/launch_plan.h"

static void close_handle(HANDLE* handle) {
    if (*handle != nullptr) {
        CloseHandle(*handle);
        *handle = nullptr;
    }
}

// Our end of a pipe must not leak into the child (or any later child),
// else the child would hold its own pipe open and never see its end.
static HANDLE make_private(HANDLE handle) {
    HANDLE process = GetCurrentProcess();
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, handle, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        return handle;
    }
    CloseHandle(handle);
    return copy;
}

static void use_std_handles(LaunchPlan* plan) {
    plan->startup.dwFlags |= STARTF_USESTDHANDLES;
    plan->inherit_handles = TRUE;
    plan->creation_flags &= ~static_cast<DWORD>(CREATE_NEW_CONSOLE);
}

// Another program's output end is private to us: the child gets an
// inheritable copy of it, which is closed again once the child runs.
static void connect_input(LaunchPlan* plan, const RunningProgram* connect) {
    HANDLE process = GetCurrentProcess();
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, connect->output_read, process, &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        return;
    }
    plan->child_input = copy;
    use_std_handles(plan);
}

// child_is_reader: the child gets the read end (its input), we keep the write end.
static void make_pipe(LaunchPlan* plan, bool child_is_reader, HANDLE* child_end, HANDLE* own_end) {
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &attributes, 0)) {
        return;
    }
    *child_end = child_is_reader ? read_end : write_end;
    *own_end = make_private(child_is_reader ? write_end : read_end);
    use_std_handles(plan);
}

static void fill_std_handles(LaunchPlan* plan) {
    STARTUPINFOW* startup = &plan->startup;
    startup->hStdInput = plan->child_input ? plan->child_input : GetStdHandle(STD_INPUT_HANDLE);
    startup->hStdOutput = plan->child_output ? plan->child_output : GetStdHandle(STD_OUTPUT_HANDLE);
    startup->hStdError = plan->child_error ? plan->child_error : GetStdHandle(STD_ERROR_HANDLE);
}

void launch_plan_prepare(LaunchPlan* plan, int32_t flags, const RunningProgram* connect) {
    *plan = {};
    plan->startup.cb = sizeof(plan->startup);
    plan->startup.dwFlags = STARTF_USESHOWWINDOW;
    plan->show = (flags & RUN_HIDE) ? SW_HIDE : SW_SHOWNORMAL;
    plan->startup.wShowWindow = plan->show;
    plan->creation_flags = NORMAL_PRIORITY_CLASS | ((flags & RUN_HIDE) ? CREATE_NEW_CONSOLE : 0);
    bool keep = (flags & RUN_KEEP) != 0;
    if ((flags & RUN_CONNECT) && connect != nullptr && connect->output_read != nullptr) {
        connect_input(plan, connect);
    } else if (keep && (flags & RUN_WRITE)) {
        make_pipe(plan, true, &plan->child_input, &plan->input_write);
    }
    if (keep && (flags & RUN_READ)) {
        make_pipe(plan, false, &plan->child_output, &plan->output_read);
    }
    if (keep && (flags & RUN_ERROR)) {
        make_pipe(plan, false, &plan->child_error, &plan->error_read);
    }
    if (plan->startup.dwFlags & STARTF_USESTDHANDLES) {
        fill_std_handles(plan);
    }
}

void launch_plan_close_child_ends(LaunchPlan* plan) {
    close_handle(&plan->child_input);
    close_handle(&plan->child_output);
    close_handle(&plan->child_error);
}

void launch_plan_close_all(LaunchPlan* plan) {
    launch_plan_close_child_ends(plan);
    close_handle(&plan->input_write);
    close_handle(&plan->output_read);
    close_handle(&plan->error_read);
}
