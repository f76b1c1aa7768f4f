// A picture behind a window's children, drawn straight from its bitmap.
// A pattern brush would do the same with less code, but the brush takes a
// copy of the pixels (seen under Wine): for a full-window picture that is a
// second 2.2 MB held for the life of the window.
#include <windows.h>
#include "toolkit/window_core.h"
#include "toolkit/window_scale.h"
#include "toolkit/windows.h"
#include "images/images.h"

void window_set_background(int64_t id, HBITMAP picture) {
    WindowObject* window = window_record(id);
    if (!window) {
        return;
    }
    window->background = picture;
    window_background_rescale(window);
    InvalidateRect(window->hwnd, nullptr, TRUE);
}

// The picture is resized once per scale, here, and painting only copies
// it. At 1.0 the window draws the caller's own bitmap. A picture that
// cannot be resized is drawn as it is rather than not at all.
void window_background_rescale(WindowObject* window) {
    if (window->scaled_background) {
        DeleteObject(window->scaled_background);
        window->scaled_background = nullptr;
    }
    BITMAP size = {};
    if (!window->background || window->scale == SCALE_ONE || !window->scale ||
        !GetObjectW(window->background, sizeof size, &size)) {
        return;
    }
    window->scaled_background =
        image_resize(window->background, scale_apply(window->scale, size.bmWidth),
                     scale_apply(window->scale, size.bmHeight));
}

// The tiles of a `width` x `height` picture that meet `area`, each copied
// where it overlaps: a picture smaller than the window repeats, as a pattern
// brush would repeat it. Logical coordinates on both sides: a themed child
// that asks its parent for the background moves the origin of its own DC.
static bool draw_tiles(HDC dc, HDC source, const RECT& area, LONG width, LONG height) {
    bool drawn = true;
    LONG first_y = area.top - ((area.top % height) + height) % height;
    LONG first_x = area.left - ((area.left % width) + width) % width;
    for (LONG y = first_y; y < area.bottom; y += height) {
        for (LONG x = first_x; x < area.right; x += width) {
            LONG left = x > area.left ? x : area.left;
            LONG top = y > area.top ? y : area.top;
            LONG right = x + width < area.right ? x + width : area.right;
            LONG bottom = y + height < area.bottom ? y + height : area.bottom;
            drawn = BitBlt(dc, left, top, right - left, bottom - top, source, left - x, top - y,
                           SRCCOPY) && drawn;
        }
    }
    return drawn;
}

bool window_background_paint(HBITMAP picture, HDC dc) {
    BITMAP size = {};
    RECT area;
    if (!picture || !dc || !GetObjectW(picture, sizeof size, &size) || size.bmWidth <= 0 ||
        size.bmHeight <= 0 || GetClipBox(dc, &area) == ERROR) {
        return false;
    }
    HDC source = CreateCompatibleDC(dc);
    if (!source) {
        return false;
    }
    HGDIOBJ previous = SelectObject(source, picture);
    bool drawn = draw_tiles(dc, source, area, size.bmWidth, size.bmHeight);
    SelectObject(source, previous);
    DeleteDC(source);
    return drawn;
}
