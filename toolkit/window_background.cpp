// A picture behind a window's children, drawn straight from its bitmap.
// A pattern brush would do the same with less code, but the brush takes a
// copy of the pixels (seen under Wine): for a full-window picture that is a
// second 2.2 MB held for the life of the window.
#include <windows.h>
#include "toolkit/window_core.h"
#include "toolkit/windows.h"

void window_set_background(int64_t id, HBITMAP picture) {
    WindowObject* window = window_record(id);
    if (!window) {
        return;
    }
    window->background = picture;
    InvalidateRect(window->hwnd, nullptr, TRUE);
}

bool window_background_paint(HBITMAP picture, HDC dc) {
    if (!picture || !dc) {
        return false;
    }
    RECT area;
    if (GetClipBox(dc, &area) == ERROR) {
        return false;
    }
    HDC source = CreateCompatibleDC(dc);
    if (!source) {
        return false;
    }
    HGDIOBJ previous = SelectObject(source, picture);
    // Logical coordinates on both sides: a themed child that asks its
    // parent for the background moves the origin of its own DC.
    BOOL drawn = BitBlt(dc, area.left, area.top, area.right - area.left,
                        area.bottom - area.top, source, area.left, area.top, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    return drawn != FALSE;
}
