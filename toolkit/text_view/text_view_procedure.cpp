// The rich text kind's window procedure: focus events, the text colour kept
// across font changes, and the themed border when visual styles are in use.
#include "toolkit/text_view/text_view.h"
#include <vssym32.h>
#include "runtime/runtime.h"

static const wchar_t CLIENT_RECT_PROPERTY[] = L"TK_ClientRect";
static const wchar_t WORD_WRAP_PROPERTY[] = L"TK_WordWrap";

static LRESULT call_native(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return CallWindowProcW(g_text_view.native_proc, hwnd, message, wparam, lparam);
}

static int themes_available() {
    return g_text_view.visual_styles && g_text_view.open_theme && g_text_view.close_theme &&
           g_text_view.content_rect && g_text_view.draw_background &&
           g_text_view.partly_transparent && g_text_view.draw_parent;
}

static LRESULT on_focus(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                        int64_t subtype) {
    control_post(hwnd, subtype);
    return call_native(hwnd, message, wparam, lparam);
}

// A new font would bring the control's default colour back; apply the stored
// text colour again.
static LRESULT on_set_font(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    call_native(hwnd, WM_SETFONT, wparam, lparam);
    GadgetObject* gadget = control_record_from_handle(hwnd);
    if (gadget) {
        text_view_set_color(gadget, 1, gadget->kind_slot_3);
    }
    return 0;
}

static int themed_content(HWND hwnd, HTHEME theme, const RECT* proposed, RECT* content) {
    HDC dc = GetDC(GetParent(hwnd));
    HRESULT result = g_text_view.content_rect(theme, dc, EP_EDITTEXT, ETS_NORMAL, proposed,
                                              content);
    ReleaseDC(GetParent(hwnd), dc);
    return SUCCEEDED(result);
}

static LRESULT on_calc_size(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    LRESULT native = call_native(hwnd, WM_NCCALCSIZE, wparam, lparam);
    if (!wparam || !themes_available()) {
        return native;
    }
    HTHEME theme = g_text_view.open_theme(hwnd, L"edit");
    if (!theme) {
        return native;
    }
    NCCALCSIZE_PARAMS* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam);
    RECT proposed = params->rgrc[0];
    RECT content;
    LRESULT result = native;
    int32_t* borders = static_cast<int32_t*>(GetPropW(hwnd, CLIENT_RECT_PROPERTY));
    if (borders && themed_content(hwnd, theme, &proposed, &content)) {
        InflateRect(&content, -1, -1);
        borders[0] = content.left - proposed.left;
        borders[1] = content.top - proposed.top;
        borders[2] = proposed.right - content.right;
        borders[3] = proposed.bottom - content.bottom;
        params->rgrc[0] = content;
        result = WVR_REDRAW;
    }
    g_text_view.close_theme(theme);
    return result;
}

static int themed_state(HWND hwnd) {
    if (!IsWindowEnabled(hwnd)) {
        return ETS_DISABLED;
    }
    if (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY) {
        return ETS_READONLY;
    }
    return ETS_NORMAL;
}

static void paint_themed_frame(HWND hwnd, HTHEME theme, HDC dc) {
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT frame = {0, 0, window.right - window.left, window.bottom - window.top};
    const int32_t* borders = static_cast<int32_t*>(GetPropW(hwnd, CLIENT_RECT_PROPERTY));
    if (borders) {
        ExcludeClipRect(dc, frame.left + borders[0], frame.top + borders[1],
                        frame.right - borders[2], frame.bottom - borders[3]);
    }
    if (g_text_view.partly_transparent(theme, EP_EDITTEXT, ETS_NORMAL)) {
        g_text_view.draw_parent(hwnd, dc, &frame);
    }
    g_text_view.draw_background(theme, dc, EP_EDITTEXT, themed_state(hwnd), &frame, nullptr);
}

static LRESULT on_nc_paint(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    LRESULT native = call_native(hwnd, WM_NCPAINT, wparam, lparam);
    if (!themes_available()) {
        return native;
    }
    HTHEME theme = g_text_view.open_theme(hwnd, L"edit");
    if (!theme) {
        return native;
    }
    HDC dc = GetWindowDC(hwnd);
    if (dc) {
        paint_themed_frame(hwnd, theme, dc);
        ReleaseDC(hwnd, dc);
    }
    g_text_view.close_theme(theme);
    return 0;
}

static LRESULT on_nc_destroy(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    heap_free(RemovePropW(hwnd, CLIENT_RECT_PROPERTY));
    RemovePropW(hwnd, WORD_WRAP_PROPERTY);
    return call_native(hwnd, WM_NCDESTROY, wparam, lparam);
}

LRESULT CALLBACK text_view_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_SETFOCUS:
        return on_focus(hwnd, message, wparam, lparam, GADGET_FOCUS_GAINED);
    case WM_KILLFOCUS:
        return on_focus(hwnd, message, wparam, lparam, GADGET_FOCUS_LOST);
    case WM_SETFONT:
        return on_set_font(hwnd, wparam, lparam);
    case WM_NCCALCSIZE:
        return on_calc_size(hwnd, wparam, lparam);
    case WM_NCPAINT:
        return on_nc_paint(hwnd, wparam, lparam);
    case WM_NCDESTROY:
        return on_nc_destroy(hwnd, wparam, lparam);
    default:
        return call_native(hwnd, message, wparam, lparam);
    }
}
