// Applying a window's scale (window_scale.h): when it opens, to each
// control as it is made, and again when the window moves to a monitor of
// another DPI (WM_DPICHANGED; Wine 8 has one DPI for all monitors and never
// sends it).
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/window_core.h"
#include "toolkit/window_scale.h"
#include "toolkit/windows.h"

static DWORD window_style(HWND hwnd, DWORD* ex_style) {
    *ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
}

// The outer size of the window's client area at `scale` and `dpi`.
static SIZE outer_size(const WindowObject* window, int32_t scale, int32_t dpi) {
    DWORD ex_style = 0;
    DWORD style = window_style(window->hwnd, &ex_style);
    SIZE client = {scale_apply(scale, window->layout_width),
                   scale_apply(scale, window->layout_height)};
    return scale_outer_size(dpi, client, style, ex_style);
}

// Sizes the window for its client area at the scale, at `at` (null: where
// it is). The frame is computed for `dpi`; where the frame drawn differs
// (a thread unaware of DPI keeps the system's frame) the client area
// still gets its size, with a second move.
static void size_window(const WindowObject* window, int32_t dpi, const POINT* at) {
    SIZE outer = outer_size(window, window->scale, dpi);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at ? 0 : SWP_NOMOVE);
    SetWindowPos(window->hwnd, nullptr, at ? at->x : 0, at ? at->y : 0, outer.cx, outer.cy, flags);
    RECT client;
    GetClientRect(window->hwnd, &client);
    LONG wide = scale_apply(window->scale, window->layout_width) - client.right;
    LONG high = scale_apply(window->scale, window->layout_height) - client.bottom;
    if (wide || high) {
        SetWindowPos(window->hwnd, nullptr, 0, 0, outer.cx + wide, outer.cy + high,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

static int32_t chosen_scale(const WindowObject* window, int32_t dpi, const RECT& work) {
    DWORD ex_style = 0;
    DWORD style = window_style(window->hwnd, &ex_style);
    return scale_choose(dpi, work, window->layout_width, window->layout_height, style, ex_style);
}

// The scale is also a window property, for programs that drive the window
// from outside (the tests): only where it is not 1.0, since every property
// costs the window server a request.
static void set_scale(WindowObject* window, int32_t scale) {
    if (scale != SCALE_ONE) {
        SetPropW(window->hwnd, L"TK_Scale",
                 reinterpret_cast<HANDLE>(static_cast<intptr_t>(scale)));
    } else if (window->scale != SCALE_ONE) {
        RemovePropW(window->hwnd, L"TK_Scale");
    }
    window->scale = scale;
}

static void set_font(WindowObject* window, int32_t scale) {
    HFONT previous = window->font;
    window->font = scale_font(scale);
    scale_font_release(previous);
}

// At 96 DPI on a screen where the window fits this changes nothing: the
// window keeps the size it was made with and its controls the stock font.
void window_scale_opened(WindowObject* window, int32_t width, int32_t height) {
    window->layout_width = width;
    window->layout_height = height;
    window->scale = SCALE_ONE;
    int32_t dpi = scale_window_dpi(window->hwnd);
    int32_t scale = chosen_scale(window, dpi, scale_work_area(window->hwnd));
    set_font(window, scale);
    if (scale == SCALE_ONE) {
        return;
    }
    set_scale(window, scale);
    size_window(window, dpi, nullptr);
}

static WindowObject* window_of(HWND parent) {
    int64_t id = -1;
    return window_find_toplevel(parent, &id) ? window_record(id) : nullptr;
}

RECT window_scale_control(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    WindowObject* window = window_of(parent);
    return scale_rect(window && window->scale ? window->scale : SCALE_ONE, x, y, width, height);
}

HFONT window_scale_font(HWND parent) {
    WindowObject* window = window_of(parent);
    return window && window->font ? window->font : control_current_font();
}

// Every control of the window back to its layout at the new scale.
static void place_controls(WindowObject* window) {
    ObjectTable* controls = control_registry();
    registry_iterate_start(controls);
    int64_t id = 0;
    while (GadgetObject* gadget = static_cast<GadgetObject*>(registry_iterate_next(controls, &id))) {
        if (!gadget->hwnd || window_of(gadget->hwnd) != window) {
            continue;
        }
        const RECT& l = gadget->layout;
        RECT r = scale_rect(window->scale, l.left, l.top, l.right - l.left, l.bottom - l.top);
        SetWindowPos(gadget->hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(gadget->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(window->font), FALSE);
    }
}

// The suggested place's top-left, moved into the work area so that the
// whole window stays reachable.
static POINT placed_inside(const RECT& work, const RECT* suggested, SIZE outer) {
    POINT at = {suggested->left, suggested->top};
    at.x = at.x + outer.cx > work.right ? work.right - outer.cx : at.x;
    at.y = at.y + outer.cy > work.bottom ? work.bottom - outer.cy : at.y;
    at.x = at.x < work.left ? work.left : at.x;
    at.y = at.y < work.top ? work.top : at.y;
    return at;
}

LRESULT window_scale_dpi_changed(WindowObject* window, int32_t dpi, const RECT* suggested) {
    if (!window->layout_width || !suggested || dpi <= 0) {
        return 1;
    }
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    HMONITOR handle = MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST);
    RECT work = scale_work_area(window->hwnd);
    if (handle && GetMonitorInfoW(handle, &monitor) && !(monitor.dwFlags & MONITORINFOF_PRIMARY)) {
        work = monitor.rcWork;
    }
    set_scale(window, chosen_scale(window, dpi, work));
    set_font(window, window->scale);
    SendMessageW(window->hwnd, WM_SETREDRAW, FALSE, 0);
    place_controls(window);
    window_background_rescale(window);
    SendMessageW(window->hwnd, WM_SETREDRAW, TRUE, 0);
    POINT at = placed_inside(work, suggested, outer_size(window, window->scale, dpi));
    size_window(window, dpi, &at);
    RedrawWindow(window->hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    return 0;
}

void window_scale_release(WindowObject* window) {
    set_scale(window, SCALE_ONE);
    scale_font_release(window->font);
    window->font = nullptr;
    if (window->scaled_background) {
        DeleteObject(window->scaled_background);
        window->scaled_background = nullptr;
    }
}
