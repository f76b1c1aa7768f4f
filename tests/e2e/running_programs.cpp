// The close tests' programs, started and found by their image names.
#include "running_programs.h"
#include <tlhelp32.h>
#include <vector>
#include "support/child_process.h"
#include "support/wait.h"

static BOOL CALLBACK find_visible(HWND window, LPARAM context) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == *reinterpret_cast<DWORD*>(context) && IsWindowVisible(window)) {
        *reinterpret_cast<DWORD*>(context) = 0;
        return FALSE;
    }
    return TRUE;
}

static bool has_visible_window(DWORD process_id) {
    DWORD context = process_id;
    EnumWindows(find_visible, reinterpret_cast<LPARAM>(&context));
    return context == 0;
}

StartedProgram::~StartedProgram() {
    if (info.hProcess == nullptr) {
        return;
    }
    if (running()) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

bool StartedProgram::start(const std::wstring& exe) {
    ChildOptions options;
    options.application = exe.c_str();
    if (!child_start(info, L"\"" + exe + L"\"", options)) {
        return false;
    }
    return wait_until("the program's window", [&] { return has_visible_window(info.dwProcessId); },
                      15000);
}

bool StartedProgram::running() const {
    return info.hProcess != nullptr && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

bool StartedProgram::ends_within(DWORD timeout_ms) const {
    return WaitForSingleObject(info.hProcess, timeout_ms) == WAIT_OBJECT_0;
}

static bool token_elevated(HANDLE process) {
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    bool elevated = !OpenProcessToken(process, TOKEN_QUERY, &token) ||
                    !GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation,
                                         &size) ||
                    elevation.TokenIsElevated != 0;
    if (token != nullptr) {
        CloseHandle(token);
    }
    return elevated;
}

static bool runs_path(DWORD id, const std::wstring& path, bool end, bool* elevated) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    if (process == nullptr) {
        return false;
    }
    wchar_t image[1024];
    DWORD length = 1024;
    bool same = QueryFullProcessImageNameW(process, 0, image, &length) &&
                _wcsicmp(image, path.c_str()) == 0;
    if (same && elevated != nullptr) {
        *elevated = token_elevated(process);
    }
    if (same && end) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
    return same;
}

static bool scan_for(const std::wstring& path, bool end, bool* elevated) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        found = runs_path(entry.th32ProcessID, path, end, elevated) || found;
    }
    CloseHandle(snapshot);
    return found;
}

bool path_running(const std::wstring& path, DWORD timeout_ms, bool end, bool* elevated) {
    return wait_until("the program running", [&] { return scan_for(path, end, elevated); },
                      timeout_ms);
}
