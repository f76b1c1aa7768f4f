// Starts a program with an exact command line as a debuggee, so every
// process it starts is seen suspended at creation and its command line can
// be read before it runs.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct LauncherRun {
    bool started = false;
    bool ended = false;                 // the started program itself ended
    DWORD exit_code = 0;
    double ended_after_ms = 0;
    std::vector<std::wstring> children; // command lines of started processes
    bool loaded_shell = false;          // the program loaded shell32.dll (the "runas" start)
    bool window_shown = false;          // a visible top-level window appeared
};

// Runs `command_line` with `program`; watches for up to `watch_ms`, then
// ends whatever still runs. Processes the program starts are ended as soon
// as their command line was read.
// With `token` the program runs with that primary token (for example the
// limited one linked to the test's own).
LauncherRun launcher_watch(const std::wstring& program, const std::wstring& command_line, DWORD watch_ms,
                           HANDLE token = nullptr);
// The parameters of a command line: everything after the program name.
std::wstring command_line_parameters(const std::wstring& command_line);
