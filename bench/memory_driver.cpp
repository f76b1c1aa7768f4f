// bench/memory's driver: the peak working set (VmHWM under Wine) of the
// setup when its first page is complete and through a whole interactive
// install, against a minimal one-window program, medians of several runs.
// Usage: bench_memory_driver SETUP.exe MINIMAL.exe [rounds]
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "tests/e2e/sandbox_files.h"
#include "tests/e2e/setup_driver.h"

static const wchar_t ROOT[] = L"C:\\bench_memory";

static double peak_mb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        return -1;
    }
    return counters.PeakWorkingSetSize / 1048576.0;
}

static double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The minimal program's peak once its window is on screen.
static double minimal_peak(const std::wstring& exe) {
    Setup minimal;
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &minimal.process)) {
        return -1;
    }
    HWND window = nullptr;
    wait_until("the minimal window", [&] {
        return (window = FindWindowW(L"MinimalWindow", nullptr)) != nullptr &&
               IsWindowVisible(window);
    });
    Sleep(200);
    double peak = peak_mb(minimal.process.hProcess);
    PostMessageW(window, WM_CLOSE, 0, 0);
    setup_wait_exit(minimal, 10000);
    return peak;
}

static bool box_answer(Setup& setup, int button) {
    MessageBoxSeen box = message_box_wait(setup);
    if (box.dialog == nullptr) {
        return false;
    }
    message_box_answer(box, button);
    return true;
}

// A fresh install in English through every page; `first` gets the peak at
// the complete first page, `whole` the peak when the success box is up.
static bool setup_peaks(const std::wstring& exe, double* first, double* whole) {
    folder_remove(ROOT);
    SetupEnvironment env{std::wstring(ROOT) + L"\\AppData", std::wstring(ROOT) + L"\\Programs"};
    folder_make(env.appdata);
    folder_make(env.program_files);
    Setup setup;
    bool done = setup_start(setup, exe, env);
    *first = peak_mb(setup.process.hProcess);
    done = done && wait_until("English", [&] { return control_visible(setup, ENGLISH_OPTION); });
    control_click(setup, ENGLISH_OPTION);
    done = done && wait_until("Next",
            [&] { return control_text(setup, LANGUAGE_NEXT_BUTTON) == L"Next"; });
    control_click(setup, LANGUAGE_NEXT_BUTTON);
    done = done && wait_until("the agreement page",
            [&] { return control_visible(setup, ACCEPT_OPTION); });
    control_click(setup, ACCEPT_OPTION);
    done = done && wait_until("Next enabled",
            [&] { return control_enabled(setup, AGREEMENT_NEXT_BUTTON); });
    control_click(setup, AGREEMENT_NEXT_BUTTON);
    done = done && wait_until("the folder page",
            [&] { return control_visible(setup, INSTALL_BUTTON); });
    control_click(setup, INSTALL_BUTTON);
    done = done && box_answer(setup, IDYES) && box_answer(setup, IDOK);
    done = done && message_box_wait(setup).dialog != nullptr;
    *whole = peak_mb(setup.process.hProcess);
    done = done && box_answer(setup, IDOK) && setup_wait_exit(setup) == 0;
    if (!done) {
        setup_kill(setup);
    }
    return done;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_memory_driver SETUP.exe MINIMAL.exe [rounds]\n");
        return 2;
    }
    int rounds = argc > 3 ? _wtoi(argv[3]) : 5;
    std::vector<double> minimal, first, whole;
    for (int round = 0; round < rounds; round++) {
        double a = 0, b = 0;
        minimal.push_back(minimal_peak(argv[2]));
        if (!setup_peaks(argv[1], &a, &b)) {
            fprintf(stderr, "the interactive install did not complete\n");
            return 1;
        }
        first.push_back(a);
        whole.push_back(b);
    }
    double m = median(minimal);
    if (m <= 0) {
        fprintf(stderr, "the minimal program's memory could not be read\n");
        return 1;
    }
    printf("minimal window: %.1f MB peak working set (median of %d)\n", m, rounds);
    printf("setup, first page complete: %.1f MB; whole install: %.1f MB\n", median(first),
           median(whole));
    printf("ratio: %.2fx at the first page (target at most 1.3x)\n", median(first) / m);
    printf("ratio: %.2fx through the whole install (target at most 1.5x)\n", median(whole) / m);
    folder_remove(ROOT);
    return 0;
}
