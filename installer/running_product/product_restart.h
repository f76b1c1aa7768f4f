// Starting the product again after a reinstall closed it: the elevated
// copy only raises a flag, the launcher (running as the user) starts the
// program.
#pragma once
#include <windows.h>
#include <stdint.h>

// Elevated copy: tells the launcher that this run closed the product in
// this session and installed it successfully.
void product_restart_signal();
// Launcher: makes the flag for the elevated copy `elevated` before it can
// finish; null when it could not be made as its own.
HANDLE product_restart_watch(HANDLE elevated);
// Launcher, after the elevated copy has ended with `exit_code`: when that
// is 0, the flag was raised and this process runs as the user (neither
// elevated nor a service account), starts the product recorded for this
// user. Closes the flag.
void product_restart_after(HANDLE watch, int64_t exit_code);
