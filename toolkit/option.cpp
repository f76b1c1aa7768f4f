// The option (radio) button kind: consecutive options form one group.
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"
#include "toolkit/option_group.h"
#include "toolkit/text_extent.h"

static int64_t option_get_state(GadgetObject* gadget);
static int64_t option_set_state(GadgetObject* gadget, int64_t state);
static void option_required_size(GadgetObject* gadget, int32_t* width, int32_t* height);

static const GadgetOperations OPTION_OPERATIONS = {
    KIND_OPTION,             // kind
    320,                     // table_size
    nullptr,                 // notify: BN_CLICKED becomes EVENT_GADGET by default
    nullptr,                 // release
    option_get_state,        // get_state: BM_GETCHECK
    option_set_state,        // set_state: checks this one, unchecks the group
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
    nullptr,                 // set_color
    nullptr,                 // get_color
    option_required_size,    // required_size: text extent plus the check mark
    nullptr,                 // get_font
    nullptr,                 // set_font
    {},                      // unused
};

static constexpr DWORD OPTION_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;

static LRESULT CALLBACK option_procedure(HWND hwnd, UINT message, WPARAM wparam,
                                         LPARAM lparam) {
    WNDPROC native = reinterpret_cast<WNDPROC>(GetPropW(hwnd, L"TK_OptionProc"));
    if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, L"TK_OptionGadget");
        RemovePropW(hwnd, L"TK_OptionProc");
    }
    if (!native) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return CallWindowProcW(native, hwnd, message, wparam, lparam);
}

int64_t option_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                      const wchar_t* text) {
    DWORD style = OPTION_STYLE | (control_option_group_open() ? 0 : WS_GROUP);
    GadgetObject* gadget =
        control_create_native(id, 0, L"Button", text ? text : L"", style, x, y, width, height);
    if (!gadget) {
        return 0;
    }
    HWND hwnd = gadget->hwnd;
    SetPropW(hwnd, L"TK_OptionGadget", reinterpret_cast<HANDLE>(1));
    LONG_PTR native = SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                                        reinterpret_cast<LONG_PTR>(option_procedure));
    SetPropW(hwnd, L"TK_OptionProc", reinterpret_cast<HANDLE>(native));
    int64_t result = control_create_common(gadget, id, hwnd, &OPTION_OPERATIONS);
    control_set_option_group_open(1);
    return result;
}

static int64_t option_get_state(GadgetObject* gadget) {
    return SendMessageW(gadget->hwnd, BM_GETCHECK, 0, 0) & 1;
}

// The walk stops at the next group's first option too: options of two
// groups that follow each other directly stay independent.
static int64_t option_set_state(GadgetObject* gadget, int64_t state) {
    if (state == 0) {
        SendMessageW(gadget->hwnd, BM_SETCHECK, 0, 0);
        return 1;
    }
    for (HWND walk = option_group_start(gadget->hwnd); walk; walk = option_group_next(walk)) {
        SendMessageW(walk, BM_SETCHECK, 0, 0);
    }
    SendMessageW(gadget->hwnd, BM_SETCHECK, 1, 0);
    return 1;
}

static void option_required_size(GadgetObject* gadget, int32_t* width, int32_t* height) {
    SIZE extent = text_extent(gadget->hwnd);
    *width = extent.cx + 20;
    *height = extent.cy + 2 < 20 ? 20 : extent.cy + 2;
}
