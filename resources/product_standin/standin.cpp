// Stand-in for the product until the real executable is supplied: a plain
// window titled "PikeHarbour" that ends when it is closed.
#include <windows.h>

// The tests build it once more with another title: the setup finds a
// running product by its file, never by its window's title.
#ifndef STANDIN_TITLE
#define STANDIN_TITLE L"PikeHarbour"
#endif

static LRESULT on_destroy() {
    PostQuitMessage(0);
    return 0;
}

static LRESULT CALLBACK standin_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        return on_destroy();
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = standin_window_proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"PikeHarbourStandIn";
    if (!RegisterClassW(&window_class)) {
        return 1;
    }
    HWND window = CreateWindowExW(0, L"PikeHarbourStandIn", STANDIN_TITLE, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
