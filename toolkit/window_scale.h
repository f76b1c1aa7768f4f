// The scale of a window's layout. Programs give positions, sizes and the
// window's client size in 96-DPI units; each window has one scale, applied
// here to every rectangle and to the font of its controls:
// min(DPI / 96, what lets the whole window, frame included, fit the work
// area of its monitor). The scale is a fixed-point number, SCALE_ONE being
// 1.0; the four usual DPIs (96, 120, 144, 168) are exact in it.
#pragma once
#include <windows.h>
#include <stdint.h>

constexpr int32_t SCALE_ONE = 65536;
// Below this a window no longer shrinks: its text would be unreadable.
constexpr int32_t SCALE_SMALLEST = SCALE_ONE / 2;

// `value` in 96-DPI units at `scale`, rounded to the nearest pixel.
int32_t scale_apply(int32_t scale, int32_t value);
// A rectangle given as position and size: its edges are scaled, so that
// controls that touch at 96 DPI still touch.
RECT scale_rect(int32_t scale, int32_t x, int32_t y, int32_t width, int32_t height);
// The DPI of the monitor the window is on (the system DPI where Windows
// has no per-monitor DPI).
int32_t scale_window_dpi(HWND hwnd);
// The work area of the monitor that holds most of `hwnd`.
RECT scale_work_area(HWND hwnd);
// The scale for a client area of `width` x `height` (96-DPI units) with
// the given styles at `dpi` inside `work`.
int32_t scale_choose(int32_t dpi, const RECT& work, int32_t width, int32_t height,
                     DWORD style, DWORD ex_style);
// The outer size of a window whose client area is `client` at `dpi`.
SIZE scale_outer_size(int32_t dpi, SIZE client, DWORD style, DWORD ex_style);
// The controls' font at `scale`: the stock dialog font when it already has
// that size (always at 96 DPI), else a new font the caller owns.
HFONT scale_font(int32_t scale);
// Deletes a font scale_font made; the stock font is left alone.
void scale_font_release(HFONT font);
