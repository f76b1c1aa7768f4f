// The pause: raises the system timer resolution to 1 ms on first use, so
// that short sleeps are not rounded up to the default tick.
#include <windows.h>
#include "process/command_line.h"

typedef UINT(WINAPI* TimeBeginPeriod)(UINT);

static bool s_timer_raised;

// winmm is not one of the system's protected libraries: imported directly
// it would be searched for beside the setup before the system folder, so
// it is loaded from the system folder only, when the pause first needs it.
static void raise_timer_resolution() {
    HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (winmm == nullptr) {
        return;
    }
    TimeBeginPeriod begin = (TimeBeginPeriod)GetProcAddress(winmm, "timeBeginPeriod");
    if (begin != nullptr) {
        begin(1);
    }
}

void delay_ms(uint32_t milliseconds) {
    if (!s_timer_raised) {
        raise_timer_resolution();
        s_timer_raised = true;
    }
    Sleep(milliseconds);
}
