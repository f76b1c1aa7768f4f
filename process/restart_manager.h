// Windows' Restart Manager, where Windows offers it: which processes use a
// file, and a graceful shutdown of chosen processes in other sessions.
// rstrtmgr.dll is loaded from the system folder when first needed, never
// at start (Wine's has the calls but reports no process).
#pragma once
#include <windows.h>
#include <stdint.h>
#include "process/image_users.h"

// The ids of the processes the Restart Manager reports as using `path`,
// at most `limit`; -1 when it is not available or the query failed.
int32_t restart_manager_users(const wchar_t* path, DWORD* ids, int32_t limit);
// Hands every process of the set that is still running, not asked, and in
// another session than this process to the Restart Manager's shutdown,
// registered by id and start time so that nothing else is touched, and
// without force: a program that refuses stays. Those processes are marked
// asked. The number handed over; -1 when the Restart Manager is not
// available (nothing was asked).
int32_t restart_manager_close_others(ImageUsers* users);
