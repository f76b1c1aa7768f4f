#include "support/child_process.h"
#include <algorithm>

bool child_start(PROCESS_INFORMATION& child, const std::wstring& command_line,
                 const ChildOptions& options) {
    std::vector<wchar_t> line(command_line.begin(), command_line.end());
    line.push_back(0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    void* environment = options.environment
        ? const_cast<wchar_t*>(options.environment->data())
        : nullptr;
    child = {};
    DWORD flags = options.flags | CREATE_UNICODE_ENVIRONMENT;
    if (options.token != nullptr) {
        return CreateProcessAsUserW(options.token, options.application, line.data(), nullptr,
                                    nullptr, FALSE, flags, environment, options.directory,
                                    &startup, &child) != FALSE;
    }
    return CreateProcessW(options.application, line.data(), nullptr, nullptr, FALSE, flags,
                          environment, options.directory, &startup, &child) != FALSE;
}

DWORD child_exit_code(PROCESS_INFORMATION& child, DWORD timeout_ms, DWORD timed_out) {
    DWORD code = timed_out;
    if (WaitForSingleObject(child.hProcess, timeout_ms) == WAIT_OBJECT_0) {
        GetExitCodeProcess(child.hProcess, &code);
    } else {
        TerminateProcess(child.hProcess, timed_out);
        WaitForSingleObject(child.hProcess, 5000);
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    child = {};
    return code;
}

DWORD child_run(const std::wstring& command_line, const ChildOptions& options, DWORD timeout_ms,
                DWORD timed_out, DWORD not_started) {
    PROCESS_INFORMATION child{};
    if (!child_start(child, command_line, options)) {
        return not_started;
    }
    return child_exit_code(child, timeout_ms, timed_out);
}

static std::wstring variable_name(const std::wstring& entry) {
    // "=C:=C:\..." entries keep the drive's current folder; their name
    // starts with the equals sign.
    return entry.substr(0, entry.find(L'=', 1));
}

std::vector<wchar_t> environment_block(const std::map<std::wstring, const wchar_t*>& changes) {
    auto changed = [&](const std::wstring& name) {
        for (const auto& [changed_name, value] : changes) {
            if (lstrcmpiW(changed_name.c_str(), name.c_str()) == 0) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::wstring> entries;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p != 0; p += lstrlenW(p) + 1) {
        if (!changed(variable_name(p))) {
            entries.push_back(p);
        }
    }
    FreeEnvironmentStringsW(current);
    for (const auto& [name, value] : changes) {
        if (value != nullptr) {
            entries.push_back(name + L"=" + value);
        }
    }
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(variable_name(a).c_str(), variable_name(b).c_str()) < 0;
    });
    std::vector<wchar_t> block;
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(0);
    }
    block.push_back(0);
    return block;
}
