// The push button kind.
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"
#include "toolkit/text_extent.h"

static int64_t button_get_state(GadgetObject* gadget);
static int64_t button_set_state(GadgetObject* gadget, int64_t state);
static void button_required_size(GadgetObject* gadget, int32_t* width, int32_t* height);

static const GadgetOperations BUTTON_OPERATIONS = {
    KIND_BUTTON,             // kind
    320,                     // table_size
    nullptr,                 // notify: BN_CLICKED becomes EVENT_GADGET by default
    nullptr,                 // release
    button_get_state,        // get_state: BM_GETCHECK
    button_set_state,        // set_state: BM_SETCHECK
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
    button_required_size,    // required_size: text extent plus edges, at least 24 high
    nullptr,                 // get_font
    nullptr,                 // set_font
    {},                      // unused
};

static constexpr DWORD BUTTON_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP;

int64_t button_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                      const wchar_t* text, uint32_t flags) {
    GadgetObject* gadget = control_create_native(id, 0, L"Button", text ? text : L"",
                                                 flags | BUTTON_STYLE, x, y, width, height);
    if (!gadget) {
        return 0;
    }
    return control_create_common(gadget, id, gadget->hwnd, &BUTTON_OPERATIONS);
}

static int64_t button_get_state(GadgetObject* gadget) {
    return SendMessageW(gadget->hwnd, BM_GETCHECK, 0, 0) & 1;
}

static int64_t button_set_state(GadgetObject* gadget, int64_t state) {
    SendMessageW(gadget->hwnd, BM_SETCHECK, state ? 1 : 0, 0);
    return 1;
}

static void button_required_size(GadgetObject* gadget, int32_t* width, int32_t* height) {
    SIZE extent = text_extent(gadget->hwnd);
    *width = extent.cx + 2 * GetSystemMetrics(SM_CXEDGE) + 10;
    int32_t high = extent.cy + 2 * GetSystemMetrics(SM_CYEDGE);
    *height = high < 24 ? 24 : high;
}
