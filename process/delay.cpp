// The pause: raises the system timer resolution to 1 ms on first use, so
// that short sleeps are not rounded up to the default tick.
#include <windows.h>
#include <mmsystem.h>
#include "process/command_line.h"

static bool s_timer_raised;

void delay_ms(uint32_t milliseconds) {
    if (!s_timer_raised) {
        timeBeginPeriod(1);
        s_timer_raised = true;
    }
    Sleep(milliseconds);
}
