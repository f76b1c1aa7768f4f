// Starting a child process with an exact command line, and waiting for it.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

struct ChildOptions {
    const wchar_t* application = nullptr;   // null: the line's first token names it
    const wchar_t* directory = nullptr;     // null: this process's
    const std::vector<wchar_t>* environment = nullptr;   // a Unicode block; null: this process's
    DWORD flags = 0;                        // creation flags beside CREATE_UNICODE_ENVIRONMENT
    HANDLE token = nullptr;                 // a user's token: started as that user
};

// Starts `command_line` exactly as given (nothing quoted or added); false
// when CreateProcessW refuses it.
bool child_start(PROCESS_INFORMATION& child, const std::wstring& command_line,
                 const ChildOptions& options = {});
// The child's exit code once it ends within `timeout_ms`; otherwise it is
// ended and `timed_out` is returned. Closes both handles either way.
DWORD child_exit_code(PROCESS_INFORMATION& child, DWORD timeout_ms, DWORD timed_out);
// Starts and waits: the exit code, `timed_out` when it did not end in time
// (it is then ended), `not_started` when it could not start.
DWORD child_run(const std::wstring& command_line, const ChildOptions& options, DWORD timeout_ms,
                DWORD timed_out, DWORD not_started);

// This process's environment with the named variables replaced; a null
// value removes the variable. Sorted by name, as Windows keeps a block.
std::vector<wchar_t> environment_block(const std::map<std::wstring, const wchar_t*>& changes);
