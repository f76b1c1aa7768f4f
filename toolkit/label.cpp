// The label kind: static text shown as typed ("&" included).
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/control_colors.h"
#include "toolkit/controls.h"
#include "runtime/runtime.h"

static LRESULT label_notify(GadgetObject* gadget, HWND parent, UINT message, WPARAM wparam,
                            LPARAM lparam);
static void label_release(GadgetObject* gadget);
static void label_required_size(GadgetObject* gadget, int32_t* width, int32_t* height);

static const GadgetOperations LABEL_OPERATIONS = {
    KIND_LABEL,              // kind
    320,                     // table_size
    label_notify,            // notify: colours on WM_CTLCOLORSTATIC
    label_release,           // release: gives the background brush back
    nullptr,                 // get_state: labels have none
    nullptr,                 // set_state: ignored
    nullptr,                 // get_text: window text
    nullptr,                 // set_text: window text
    nullptr,                 // add_item
    nullptr,                 // remove_item
    nullptr,                 // clear_items
    nullptr,                 // count_items
    nullptr,                 // get_item_text
    nullptr,                 // set_item_text
    nullptr,                 // open_list
    nullptr,                 // hide
    nullptr,                 // get_attribute
    nullptr,                 // set_attribute
    colors_set,              // set_color: text (1) and background (2)
    colors_get,              // get_color: text (1) and background (2)
    label_required_size,     // required_size: DT_CALCRECT of the text plus the edge
    nullptr,                 // get_font
    nullptr,                 // set_font
    {},                      // unused
};

static constexpr DWORD LABEL_STYLE = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX;

int64_t label_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                     const wchar_t* text, uint32_t flags) {
    DWORD ex_style = (flags & LABEL_CLIENT_EDGE) ? WS_EX_CLIENTEDGE : 0;
    GadgetObject* gadget = control_create_native(id, ex_style, L"Static", text ? text : L"",
                                                 flags | LABEL_STYLE, x, y, width, height);
    if (!gadget) {
        return 0;
    }
    colors_init(gadget);
    return control_create_common(gadget, id, gadget->hwnd, &LABEL_OPERATIONS);
}

static LRESULT label_notify(GadgetObject* gadget, HWND, UINT message, WPARAM wparam, LPARAM) {
    if (message != WM_CTLCOLORSTATIC) {
        return CONTROL_DEFAULT_RESULT;
    }
    return colors_answer(gadget, reinterpret_cast<HDC>(wparam), COLOR_BTNFACE);
}

static void label_release(GadgetObject* gadget) {
    colors_release(gadget);
}

static void label_required_size(GadgetObject* gadget, int32_t* width, int32_t* height) {
    RECT area = {0, 0, 0, 0};
    int32_t length = GetWindowTextLengthW(gadget->hwnd);
    wchar_t* text = static_cast<wchar_t*>(heap_alloc((static_cast<int64_t>(length) + 1) * 2));
    HDC dc = GetDC(gadget->hwnd);
    if (text && dc) {
        GetWindowTextW(gadget->hwnd, text, length + 1);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(gadget->hwnd, WM_GETFONT, 0, 0));
        HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
        DrawTextW(dc, text, -1, &area, DT_CALCRECT | DT_NOPREFIX);
        if (previous) {
            SelectObject(dc, previous);
        }
    }
    if (dc) {
        ReleaseDC(gadget->hwnd, dc);
    }
    heap_free(text);
    bool edge = (GetWindowLongPtrW(gadget->hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    *width = area.right + (edge ? 2 * GetSystemMetrics(SM_CXEDGE) : 2);
    *height = area.bottom + (edge ? 2 * GetSystemMetrics(SM_CYEDGE) : 2);
}
