#include "support/wait.h"

void dispatch_messages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

testing::AssertionResult wait_until(const char* what, const std::function<bool()>& condition,
                                    DWORD limit_ms, const std::function<void()>& step) {
    ULONGLONG end = GetTickCount64() + limit_ms;
    while (!condition()) {
        if (GetTickCount64() > end) {
            return testing::AssertionFailure()
                   << "waited " << limit_ms << " ms in vain for: " << what;
        }
        if (step) {
            step();
        } else {
            dispatch_messages();
            Sleep(5);
        }
    }
    return testing::AssertionSuccess();
}
