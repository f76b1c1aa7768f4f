#include "support/child_exit.h"

DWORD child_exit_code(PROCESS_INFORMATION& child, DWORD timeout_ms, DWORD timed_out) {
    DWORD code = timed_out;
    if (WaitForSingleObject(child.hProcess, timeout_ms) == WAIT_OBJECT_0) {
        GetExitCodeProcess(child.hProcess, &code);
    } else {
        TerminateProcess(child.hProcess, timed_out);
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return code;
}
