// Injected write errors for the tests of what the setup says and logs when
// a write fails (a full disk cannot be had in every test machine).
#pragma once
#include <windows.h>
#include <stdint.h>

// From the write after `after_writes` on, every native write of a file
// object fails with `error`; ERROR_SUCCESS disarms.
void file_fault_arm(DWORD error, int32_t after_writes);
// True (and `error` as the last error) when the next write is to fail.
bool file_fault_take();
