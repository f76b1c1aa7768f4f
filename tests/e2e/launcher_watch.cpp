// Debugger-based observation of the setup's relaunch. The child process is
// suspended while its creation event is handled, so its command line is
// read from its PEB before it can run (and end) on its own.
#include "launcher_watch.h"
#include "support/child_process.h"
#include <winternl.h>
#include <map>

namespace {

std::wstring read_command_line(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) {
        return L"";
    }
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
        !peb.ProcessParameters ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr)) {
        return L"";
    }
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(), parameters.CommandLine.Length, nullptr)) {
        return L"";
    }
    return text;
}

bool names_shell(HANDLE file) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetFinalPathNameByHandleW(file, path, MAX_PATH, 0);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    return name.size() >= 11 && _wcsicmp(name.c_str() + name.size() - 11, L"shell32.dll") == 0;
}

struct WindowSearch {
    DWORD process_id;
    bool found;
};

BOOL CALLBACK find_visible_window(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process_id && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

struct Watch {
    LauncherRun run;
    DWORD launcher_id = 0;
    LARGE_INTEGER start = {};
    std::map<DWORD, HANDLE> live;       // debuggee id -> handle from its creation event
};

double elapsed_ms(const Watch& watch) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - watch.start.QuadPart) * 1000.0 / frequency.QuadPart;
}

DWORD handle_event(Watch& watch, const DEBUG_EVENT& event) {
    switch (event.dwDebugEventCode) {
    case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) {
            CloseHandle(event.u.CreateProcessInfo.hFile);
        }
        watch.live[event.dwProcessId] = event.u.CreateProcessInfo.hProcess;
        if (event.dwProcessId != watch.launcher_id) {
            watch.run.children.push_back(read_command_line(event.u.CreateProcessInfo.hProcess));
            TerminateProcess(event.u.CreateProcessInfo.hProcess, 0);
        }
        return DBG_CONTINUE;
    case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile && event.dwProcessId == watch.launcher_id &&
            names_shell(event.u.LoadDll.hFile)) {
            watch.run.loaded_shell = true;
        }
        if (event.u.LoadDll.hFile) {
            CloseHandle(event.u.LoadDll.hFile);
        }
        return DBG_CONTINUE;
    case EXIT_PROCESS_DEBUG_EVENT:
        watch.live.erase(event.dwProcessId);
        if (event.dwProcessId == watch.launcher_id) {
            watch.run.ended = true;
            watch.run.exit_code = event.u.ExitProcess.dwExitCode;
            watch.run.ended_after_ms = elapsed_ms(watch);
        }
        return DBG_CONTINUE;
    case EXCEPTION_DEBUG_EVENT:
        // The loader's initial breakpoint is ours to pass; everything else
        // belongs to the program.
        if (event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT) {
            return DBG_CONTINUE;
        }
        return DBG_EXCEPTION_NOT_HANDLED;
    default:
        return DBG_CONTINUE;
    }
}

}  // namespace

LauncherRun launcher_watch(const std::wstring& program, const std::wstring& command_line, DWORD watch_ms,
                           HANDLE token) {
    Watch watch;
    PROCESS_INFORMATION process = {};
    ChildOptions options;
    options.application = program.c_str();
    options.flags = DEBUG_PROCESS;
    options.token = token;
    QueryPerformanceCounter(&watch.start);
    if (!child_start(process, command_line, options)) {
        return watch.run;
    }
    watch.run.started = true;
    watch.launcher_id = process.dwProcessId;
    while (elapsed_ms(watch) < watch_ms) {
        DEBUG_EVENT event;
        if (WaitForDebugEvent(&event, 50)) {
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, handle_event(watch, event));
            if (watch.run.ended && watch.live.empty()) {
                break;
            }
            continue;
        }
        WindowSearch search = {process.dwProcessId, false};
        EnumWindows(find_visible_window, reinterpret_cast<LPARAM>(&search));
        watch.run.window_shown = watch.run.window_shown || search.found;
    }
    for (auto& [id, handle] : watch.live) {
        TerminateProcess(handle, 1);
    }
    DebugActiveProcessStop(process.dwProcessId);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return watch.run;
}

std::wstring command_line_parameters(const std::wstring& command_line) {
    size_t at = 0;
    if (!command_line.empty() && command_line[0] == L'"') {
        at = command_line.find(L'"', 1);
        at = at == std::wstring::npos ? command_line.size() : at + 1;
    } else {
        at = command_line.find_first_of(L" \t");
        at = at == std::wstring::npos ? command_line.size() : at;
    }
    while (at < command_line.size() && (command_line[at] == L' ' || command_line[at] == L'\t')) {
        at++;
    }
    return command_line.substr(at);
}
