// The test hook of the file layer: a test arms an error, and the next
// writes fail with it as the system would (nothing written, the error as
// last error). The setup itself never arms it.
#include "files/file_faults.h"

static DWORD s_fault_error;
static int32_t s_fault_after;

void file_fault_arm(DWORD error, int32_t after_writes) {
    s_fault_error = error;
    s_fault_after = after_writes;
}

bool file_fault_take() {
    if (s_fault_error == ERROR_SUCCESS) {
        return false;
    }
    if (s_fault_after > 0) {
        s_fault_after--;
        return false;
    }
    SetLastError(s_fault_error);
    return true;
}
