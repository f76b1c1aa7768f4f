// The one place where layout units become pixels, and where a window's
// scale is chosen from its monitor's DPI and work area.
#include "toolkit/window_scale.h"

constexpr int32_t LAYOUT_DPI = 96;

int32_t scale_apply(int32_t scale, int32_t value) {
    int64_t scaled = static_cast<int64_t>(value) * scale;
    int64_t half = SCALE_ONE / 2;
    return static_cast<int32_t>(scaled >= 0 ? (scaled + half) / SCALE_ONE
                                            : -((-scaled + half) / SCALE_ONE));
}

RECT scale_rect(int32_t scale, int32_t x, int32_t y, int32_t width, int32_t height) {
    RECT r;
    r.left = scale_apply(scale, x);
    r.top = scale_apply(scale, y);
    r.right = scale_apply(scale, x + width);
    r.bottom = scale_apply(scale, y + height);
    return r;
}

// The per-monitor functions came with Windows 10 (1607): looked up, not
// imported, so that older Windows still starts the program (at its system
// DPI, which is what it gives a program declaring itself DPI-aware). Looked
// up on each call (a window's creation or DPI change): a function-local
// static would bring in the C++ runtime's guarded initialisation and with
// it its exception support, about 120 KB of the setup.
template <typename Function>
static Function user32_function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

static int32_t system_dpi() {
    HDC screen = GetDC(nullptr);
    int32_t dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : LAYOUT_DPI;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : LAYOUT_DPI;
}

int32_t scale_window_dpi(HWND hwnd) {
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    DpiForWindow for_window = user32_function<DpiForWindow>("GetDpiForWindow");
    UINT dpi = for_window && hwnd ? for_window(hwnd) : 0;
    return dpi > 0 ? static_cast<int32_t>(dpi) : system_dpi();
}

RECT scale_work_area(HWND hwnd) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    HMONITOR handle = MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
    if (handle && GetMonitorInfoW(handle, &monitor) && !(monitor.dwFlags & MONITORINFOF_PRIMARY)) {
        return monitor.rcWork;
    }
    // The primary monitor's: Windows answers its rcWork here too, and Wine
    // keeps a work area set with SPI_SETWORKAREA only here (its monitor
    // information goes on giving the whole screen).
    RECT area;
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        return area;
    }
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen;
}

SIZE scale_outer_size(int32_t dpi, SIZE client, DWORD style, DWORD ex_style) {
    typedef BOOL(WINAPI * AdjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT);
    AdjustForDpi adjust = user32_function<AdjustForDpi>("AdjustWindowRectExForDpi");
    RECT outer = {0, 0, client.cx, client.cy};
    if (!adjust || !adjust(&outer, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&outer, style, FALSE, ex_style);
    }
    SIZE size = {outer.right - outer.left, outer.bottom - outer.top};
    return size;
}

// The largest scale at which `layout` units and the fixed `frame` fit in
// `room` pixels.
static int32_t fitting_scale(int32_t room, int32_t frame, int32_t layout) {
    if (layout <= 0) {
        return INT32_MAX;
    }
    int64_t free = static_cast<int64_t>(room) - frame;
    int64_t scale = free * SCALE_ONE / layout;
    return scale < SCALE_SMALLEST ? SCALE_SMALLEST
                                  : static_cast<int32_t>(scale > INT32_MAX ? INT32_MAX : scale);
}

int32_t scale_choose(int32_t dpi, const RECT& work, int32_t width, int32_t height,
                     DWORD style, DWORD ex_style) {
    SIZE none = {0, 0};
    SIZE frame = scale_outer_size(dpi, none, style, ex_style);
    int32_t scale = static_cast<int32_t>(static_cast<int64_t>(dpi) * SCALE_ONE / LAYOUT_DPI);
    int32_t across = fitting_scale(work.right - work.left, frame.cx, width);
    int32_t down = fitting_scale(work.bottom - work.top, frame.cy, height);
    scale = across < scale ? across : scale;
    return down < scale ? down : scale;
}

HFONT scale_font(int32_t scale) {
    HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    int32_t dpi = system_dpi();
    if (static_cast<int64_t>(scale) * LAYOUT_DPI == static_cast<int64_t>(dpi) * SCALE_ONE) {
        return stock;
    }
    // The stock font has the system DPI's size: brought to 96 DPI, then
    // scaled like everything else.
    LOGFONTW font = {};
    if (!GetObjectW(stock, sizeof(font), &font)) {
        return stock;
    }
    int64_t height = static_cast<int64_t>(font.lfHeight) * LAYOUT_DPI * scale;
    int64_t divisor = static_cast<int64_t>(dpi) * SCALE_ONE;
    font.lfHeight = static_cast<LONG>((height + (height < 0 ? -divisor : divisor) / 2) / divisor);
    font.lfWidth = 0;
    HFONT made = CreateFontIndirectW(&font);
    return made ? made : stock;
}

void scale_font_release(HFONT font) {
    if (font && font != static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {
        DeleteObject(font);
    }
}
