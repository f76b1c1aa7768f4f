// The debugger thread of CheckHold. Every debug event stops the whole
// setup until it is continued, so the loop only looks and continues.
#include "check_hold.h"

static void close_event_handles(const DEBUG_EVENT& event) {
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile) {
        CloseHandle(event.u.CreateProcessInfo.hFile);
    }
    if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile) {
        CloseHandle(event.u.LoadDll.hFile);
    }
}

static void debug_loop(CheckHold& hold, Setup& setup) {
    HANDLE check = nullptr;
    bool resumed = false;
    bool first_breakpoint = true;
    while (true) {
        if (hold.release && check != nullptr && !resumed) {
            ResumeThread(check);
            resumed = true;
        }
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, 50)) {
            continue;
        }
        close_event_handles(event);
        DWORD answer = DBG_CONTINUE;
        if (event.dwDebugEventCode == CREATE_THREAD_DEBUG_EVENT && check == nullptr &&
            setup_visible_window(setup) != nullptr) {
            check = event.u.CreateThread.hThread;
            SuspendThread(check);
            hold.held = true;
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
            bool breakpoint = event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT;
            answer = breakpoint && first_breakpoint ? DBG_CONTINUE : DBG_EXCEPTION_NOT_HANDLED;
            first_breakpoint = first_breakpoint && !breakpoint;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
            break;
        }
    }
    hold.ended = true;
}

bool check_hold_start(CheckHold& hold, Setup& setup, const std::wstring& exe,
                      const SetupEnvironment& env) {
    hold.debugger = std::thread([&hold, &setup, exe, env] {
        hold.launched = setup_launch_debugged(setup, exe, env);
        if (!hold.launched) {
            hold.ended = true;
            return;
        }
        DebugSetProcessKillOnExit(FALSE);
        debug_loop(hold, setup);
    });
    if (!wait_until("the held setup started", [&] { return hold.launched || hold.ended; })) {
        return false;
    }
    return hold.launched && setup_wait_language_page(setup);
}

void check_hold_release(CheckHold& hold) {
    hold.release = true;
}
