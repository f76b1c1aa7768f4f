// A second program in front: opens one top-level window, makes it the
// foreground window and stays until that window is closed.
#include <windows.h>

static LRESULT CALLBACK front_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = front_procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = L"PH_FrontWindow";
    RegisterClassW(&window_class);
    HWND hwnd = CreateWindowExW(0, L"PH_FrontWindow", L"Another program",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                                nullptr, instance, nullptr);
    SetForegroundWindow(hwnd);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
