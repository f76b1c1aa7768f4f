// Programs the close tests start and watch: the product and its stand-ins
// running while the setup works.
#pragma once
#include <windows.h>
#include <string>

// One started program; ended at the end of the test if it still runs.
struct StartedProgram {
    PROCESS_INFORMATION info{};
    StartedProgram() = default;
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram();
    // Starts `exe` and waits until a visible window of it is up.
    bool start(const std::wstring& exe);
    bool running() const;
    // Waits up to `timeout_ms` for it to end.
    bool ends_within(DWORD timeout_ms) const;
};

// Whether a process runs the file at `path` (its image name compared in
// any case), waiting up to `timeout_ms` for one to appear; a process found
// is ended when `end` is set, and `elevated` (when given) tells whether
// its token is elevated.
bool path_running(const std::wstring& path, DWORD timeout_ms, bool end,
                  bool* elevated = nullptr);
