// Waiting for a child process the test started.
#pragma once
#include <windows.h>

// The child's exit code once it ends within `timeout_ms`; otherwise it is
// ended and `timed_out` is returned. Closes both handles either way.
DWORD child_exit_code(PROCESS_INFORMATION& child, DWORD timeout_ms, DWORD timed_out);
