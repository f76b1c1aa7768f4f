// A program that does not close when asked: its window ignores WM_CLOSE.
// It ends by itself after two minutes, so that a failed test leaves no
// process behind for long.
#include <windows.h>

static LRESULT CALLBACK stubborn_procedure(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
    if (message == WM_CLOSE) {
        return 0;
    }
    if (message == WM_TIMER || message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = stubborn_procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = L"Stubborn";
    RegisterClassW(&window_class);
    HWND window = CreateWindowExW(0, L"Stubborn", L"PikeHarbour", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    SetTimer(window, 1, 120000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
