// Text extents in a control's font, for the required_size operations.
#include "toolkit/text_extent.h"
#include "runtime/runtime.h"

static const int32_t SHORT_TEXT = 256;

SIZE text_extent(HWND hwnd, const wchar_t* text) {
    SIZE extent = {0, 0};
    wchar_t buffer[SHORT_TEXT];
    if (!text) {
        int32_t copied = GetWindowTextW(hwnd, buffer, SHORT_TEXT);
        buffer[copied > 0 ? copied : 0] = 0;
        text = buffer;
    }
    HDC dc = GetDC(hwnd);
    if (!dc) {
        return extent;
    }
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
    if (previous) {
        SelectObject(dc, previous);
    }
    ReleaseDC(hwnd, dc);
    return extent;
}
