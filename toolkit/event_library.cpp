// Start and end of the event library: the hidden post window through which
// another thread hands an event to the thread that owns the window.
#include <windows.h>
#include "toolkit/event_queue.h"
#include "runtime/libraries.h"
#include "runtime/runtime.h"

static HWND g_post_window;
static UINT g_post_message;
static ATOM g_post_class;

// The block another thread sends: slot 0 unused, then code (low 32 bits),
// control, window, subtype, data. The block is a main-heap block.
static LRESULT on_post_message(LPARAM lparam) {
    int64_t* slots = reinterpret_cast<int64_t*>(lparam);
    if (!slots) {
        return 0;
    }
    int32_t code = static_cast<int32_t>(slots[1]);
    void* data = reinterpret_cast<void*>(slots[5]);
    event_post(code, slots[2], slots[3], slots[4], data, nullptr, POST_FORCED);
    heap_free(slots);
    return 0;
}

static LRESULT CALLBACK post_window_procedure(HWND hwnd, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
    if (g_post_message != 0 && message == g_post_message) {
        return on_post_message(lparam);
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void event_library_start() {
    g_post_message = RegisterWindowMessageW(L"TK_PostEventMessage");
    event_queue();
}

void event_window_start() {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = post_window_procedure;
    window_class.hInstance = g_runtime.instance;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = L"PostEventClass";
    g_post_class = RegisterClassExW(&window_class);
    g_post_window = CreateWindowExW(0, L"PostEventClass", L"", WS_CAPTION, 0, 0, 1, 1, nullptr,
                                    nullptr, g_runtime.instance, nullptr);
}

void event_library_end() {
    if (g_post_window) {
        DestroyWindow(g_post_window);
        g_post_window = nullptr;
    }
    // Only a class this process registered: under Wine any class call
    // connects the process to the desktop, which starts the desktop process
    // when none runs (about 80 ms at the end of every silent install, seen
    // under Wine 8), although the unattended roles never made a window.
    if (g_post_class) {
        UnregisterClassW(L"PostEventClass", g_runtime.instance);
        g_post_class = 0;
    }
}
