// The single-line text field kind.
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/control_colors.h"
#include "toolkit/controls.h"
#include "toolkit/text_extent.h"

static LRESULT text_field_notify(GadgetObject* gadget, HWND parent, UINT message,
                                 WPARAM wparam, LPARAM lparam);
static void text_field_release(GadgetObject* gadget);
static int64_t text_field_get_attribute(GadgetObject* gadget, int64_t attribute);
static int64_t text_field_set_attribute(GadgetObject* gadget, int64_t attribute,
                                        int64_t value);
static void text_field_required_size(GadgetObject* gadget, int32_t* width, int32_t* height);

static const GadgetOperations TEXT_FIELD_OPERATIONS = {
    KIND_TEXT_FIELD,             // kind
    320,                         // table_size
    text_field_notify,           // notify: colours; EN_ codes become EVENT_GADGET by default
    text_field_release,          // release: gives the background brush back
    nullptr,                     // get_state: text fields have none
    nullptr,                     // set_state: ignored
    nullptr,                     // get_text: window text
    nullptr,                     // set_text: window text
    nullptr,                     // add_item
    nullptr,                     // remove_item
    nullptr,                     // clear_items
    nullptr,                     // count_items
    nullptr,                     // get_item_text
    nullptr,                     // set_item_text
    nullptr,                     // open_list
    nullptr,                     // hide
    text_field_get_attribute,    // get_attribute: 1 = maximum length
    text_field_set_attribute,    // set_attribute: 1 = maximum length (at least 1)
    colors_set,                  // set_color: text (1) and background (2)
    colors_get,                  // get_color: text (1) and background (2)
    text_field_required_size,    // required_size: edges wide, "Hg" high
    nullptr,                     // get_font
    nullptr,                     // set_font
    {},                          // unused
};

static constexpr DWORD TEXT_FIELD_STYLE =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL;
static const int64_t ATTRIBUTE_MAXIMUM_LENGTH = 1;

static LRESULT CALLBACK focus_procedure(HWND hwnd, UINT message, WPARAM wparam,
                                        LPARAM lparam) {
    WNDPROC native = reinterpret_cast<WNDPROC>(GetPropW(hwnd, L"TK_FieldProc"));
    if (message == WM_SETFOCUS) {
        control_post(hwnd, GADGET_FOCUS_GAINED);
    } else if (message == WM_KILLFOCUS) {
        control_post(hwnd, GADGET_FOCUS_LOST);
    } else if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, L"TK_FieldProc");
    }
    if (!native) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return CallWindowProcW(native, hwnd, message, wparam, lparam);
}

int64_t text_field_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                          const wchar_t* text, uint32_t flags) {
    DWORD ex_style = (flags & TEXT_FIELD_BORDERLESS) ? 0 : WS_EX_CLIENTEDGE;
    GadgetObject* gadget = control_create_native(id, ex_style, L"Edit", text ? text : L"",
                                                 flags | TEXT_FIELD_STYLE, x, y, width, height);
    if (!gadget) {
        return 0;
    }
    HWND hwnd = gadget->hwnd;
    colors_init(gadget);
    LONG_PTR native = SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                                        reinterpret_cast<LONG_PTR>(focus_procedure));
    SetPropW(hwnd, L"TK_FieldProc", reinterpret_cast<HANDLE>(native));
    return control_create_common(gadget, id, hwnd, &TEXT_FIELD_OPERATIONS);
}

// WM_CTLCOLORSTATIC reaches an edit control when it is read-only or disabled.
static LRESULT text_field_notify(GadgetObject* gadget, HWND, UINT message, WPARAM wparam,
                                 LPARAM) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    if (message == WM_CTLCOLOREDIT) {
        return colors_answer(gadget, dc, COLOR_WINDOW);
    }
    if (message == WM_CTLCOLORSTATIC && IsWindowEnabled(gadget->hwnd)) {
        return colors_answer(gadget, dc, COLOR_BTNFACE);
    }
    return CONTROL_DEFAULT_RESULT;
}

static void text_field_release(GadgetObject* gadget) {
    colors_release(gadget);
}

static int64_t text_field_get_attribute(GadgetObject* gadget, int64_t attribute) {
    if (attribute != ATTRIBUTE_MAXIMUM_LENGTH) {
        return 0;
    }
    return SendMessageW(gadget->hwnd, EM_GETLIMITTEXT, 0, 0);
}

static int64_t text_field_set_attribute(GadgetObject* gadget, int64_t attribute,
                                        int64_t value) {
    if (attribute != ATTRIBUTE_MAXIMUM_LENGTH) {
        return 0;
    }
    WPARAM limit = value < 1 ? 1 : static_cast<WPARAM>(value);
    SendMessageW(gadget->hwnd, EM_LIMITTEXT, limit, 0);
    return 1;
}

static void text_field_required_size(GadgetObject* gadget, int32_t* width, int32_t* height) {
    SIZE extent = text_extent(gadget->hwnd, L"Hg");
    *width = 2 * GetSystemMetrics(SM_CXEDGE);
    int32_t high = extent.cy + 2 * GetSystemMetrics(SM_CYEDGE);
    *height = high < 20 ? 20 : high;
}
