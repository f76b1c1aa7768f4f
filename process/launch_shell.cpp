// The shell fallback of program_run: documents and anything else that
// CreateProcessW cannot start are opened with the shell's default verb.
#include <string.h>
#include "process/launch_plan.h"
#include <shellapi.h>
#include "runtime/runtime.h"

static const ULONG SHELL_MASK = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;

// With no directory given, the folder of the name (up to and including its
// last backslash) becomes the working directory. Null when there is none.
static wchar_t* directory_of(const wchar_t* name) {
    int64_t length = static_cast<int64_t>(wcslen(name));
    int64_t last = length - 1;
    while (last > 0 && name[last] != L'\\') {
        last--;
    }
    if (last <= 0) {
        return nullptr;
    }
    wchar_t* folder = static_cast<wchar_t*>(heap_alloc((last + 2) * sizeof(wchar_t)));
    if (folder != nullptr) {
        memcpy(folder, name, static_cast<size_t>(last + 1) * sizeof(wchar_t));
    }
    return folder;
}

static int64_t finish_shell_start(HANDLE process, int32_t flags) {
    if ((flags & RUN_WAIT) && process != nullptr) {
        WaitForSingleObject(process, INFINITE);
    }
    if (flags & RUN_KEEP) {
        LaunchPlan no_pipes = {};
        RunningProgram* record = running_program_add(process, -1, &no_pipes, flags);
        return reinterpret_cast<int64_t>(record);
    }
    if (process != nullptr) {
        CloseHandle(process);
    }
    return 1;
}

int64_t launch_through_shell(const wchar_t* name, const wchar_t* parameters,
                             const wchar_t* directory, int32_t flags, WORD show) {
    if (name == nullptr) {
        return 0;
    }
    wchar_t* own_directory = nullptr;
    if (directory == nullptr || directory[0] == 0) {
        own_directory = directory_of(name);
        directory = own_directory;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SHELL_MASK;
    info.lpFile = name;
    info.lpParameters = parameters;
    info.lpDirectory = directory;
    info.nShow = show;
    BOOL started = ShellExecuteExW(&info);
    heap_free(own_directory);
    if (!started) {
        return 0;
    }
    return finish_shell_start(info.hProcess, flags);
}
