// Holds the setup's payload check while a test walks through the pages:
// the setup runs under the debugging interface from a thread of the test,
// and the first thread it starts once its window is visible (the check's)
// is suspended until check_hold_release.
#pragma once
#include <windows.h>
#include <atomic>
#include <thread>
#include "setup_driver.h"

struct CheckHold {
    std::thread debugger;
    std::atomic<bool> launched{false};
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::atomic<bool> ended{false};
    // Declared before the Setup it holds: the Setup (which ends the
    // process) goes first, then the debugger thread is waited for.
    ~CheckHold() {
        if (debugger.joinable()) {
            debugger.join();
        }
    }
};

// Starts `exe -admin` and waits for its language page; the Setup's process
// handles stay with the debugger thread, which ends with the process.
bool check_hold_start(CheckHold& hold, Setup& setup, const std::wstring& exe,
                      const SetupEnvironment& env);
void check_hold_release(CheckHold& hold);
