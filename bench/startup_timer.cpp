// bench/startup's timer: starts a program, measures the time until its
// window (and, for the setup, its first page) is visible, closes it, and
// repeats; prints the median of each program and their ratio.
// Usage: bench_startup_timer SETUP.exe MINIMAL.exe [rounds]
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

struct Target {
    std::wstring exe;
    std::wstring arguments;
    const wchar_t* title;
    // The setup's first page is its language panel; the child named here is
    // one of its options. Any visible child would not do: the folder tree is
    // created visible and only hidden once it is filled.
    const wchar_t* page_child;
};

struct ChildSearch {
    const wchar_t* title;
    bool found;
};

struct Search {
    DWORD pid;
    const wchar_t* title;
    HWND found;
};

static BOOL CALLBACK match_window(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    if (pid == search->pid && IsWindowVisible(window) && lstrcmpW(title, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK match_visible_child(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    wchar_t title[128] = {};
    GetWindowTextW(child, title, 128);
    if (IsWindowVisible(child) && lstrcmpW(title, search->title) == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

static bool shown(const Target& target, DWORD pid) {
    Search search{pid, target.title, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return false;
    }
    bool child = target.page_child == nullptr;
    if (!child) {
        ChildSearch page{target.page_child, false};
        EnumChildWindows(search.found, match_visible_child, reinterpret_cast<LPARAM>(&page));
        child = page.found;
    }
    if (child) {
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    }
    return child;
}

// Milliseconds from CreateProcessW to the first visible page; -1 on failure.
static double time_start(const Target& target) {
    std::wstring command = L"\"" + target.exe + L"\"" + target.arguments;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, begin, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(target.exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return -1;
    }
    double elapsed = -1;
    for (int polls = 0; polls < 30000; polls++) {
        if (shown(target, process.dwProcessId)) {
            QueryPerformanceCounter(&now);
            elapsed = 1000.0 * (now.QuadPart - begin.QuadPart) / frequency.QuadPart;
            break;
        }
        Sleep(1);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return elapsed;
}

static double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_startup_timer SETUP.exe MINIMAL.exe [rounds]\n");
        return 2;
    }
    int rounds = argc > 3 ? _wtoi(argv[3]) : 7;
    Target setup{argv[1], L" -admin", L"PikeHarbour Installation", L"English"};
    Target minimal{argv[2], L"", L"Minimal Window", nullptr};
    std::vector<double> setup_times, minimal_times;
    time_start(minimal);  // warm-up: DLLs and fonts into the cache
    time_start(setup);
    for (int round = 0; round < rounds; round++) {
        minimal_times.push_back(time_start(minimal));
        setup_times.push_back(time_start(setup));
    }
    double s = median(setup_times);
    double m = median(minimal_times);
    if (s < 0 || m <= 0) {
        fprintf(stderr, "a program did not show its window\n");
        return 1;
    }
    printf("minimal window: %.1f ms (median of %d)\n", m, rounds);
    printf("setup first page: %.1f ms (median of %d)\n", s, rounds);
    printf("ratio: %.2fx (target at most 1.3x)\n", s / m);
    return 0;
}
