// The container kind "TesselContainer": a plain child window that becomes
// the parent of the controls created until control_list_close.
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"
#include "toolkit/window_core.h"
#include "runtime/runtime.h"

static constexpr DWORD CONTAINER_STYLE = WS_CHILD | WS_VISIBLE;
static const int32_t BACKGROUND_COLOR = 2;
static const int64_t NO_COLOR = -1;

static void container_release(GadgetObject* gadget);
static int64_t container_open_list(GadgetObject* gadget, int64_t item);
static int64_t container_set_color(GadgetObject* gadget, int32_t which, int64_t color);
static int64_t container_get_color(GadgetObject* gadget, int32_t which);

static const GadgetOperations CONTAINER_OPERATIONS = {
    KIND_CONTAINER,          // kind
    320,                     // table_size
    nullptr,                 // notify: messages go on to the window procedure
    container_release,       // release: gives the background brush back
    nullptr,                 // get_state
    nullptr,                 // set_state
    nullptr,                 // get_text
    nullptr,                 // set_text
    nullptr,                 // add_item
    nullptr,                 // remove_item
    nullptr,                 // clear_items
    nullptr,                 // count_items
    nullptr,                 // get_item_text
    nullptr,                 // set_item_text
    container_open_list,     // open_list: makes the container the current parent
    nullptr,                 // hide
    nullptr,                 // get_attribute
    nullptr,                 // set_attribute
    container_set_color,     // set_color: background (2) only
    container_get_color,     // get_color: background (2) only
    nullptr,                 // required_size
    nullptr,                 // get_font
    nullptr,                 // set_font
    {},                      // unused
};

static HBRUSH background_brush(HWND hwnd) {
    return reinterpret_cast<HBRUSH>(GetWindowLongPtrW(hwnd, 0));
}

// Size events of the container itself; nothing before it has an id.
static void on_container_size(HWND hwnd) {
    control_post_forced(hwnd, 0);
    control_post_forced(hwnd, 6);
}

static LRESULT on_container_erase(HWND hwnd, HDC dc) {
    HBRUSH brush = background_brush(hwnd);
    if (!brush) {
        return DefWindowProcW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);
    return 0;
}

static LRESULT CALLBACK container_procedure(HWND hwnd, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
    if (message == WM_SIZE) {
        on_container_size(hwnd);
    } else if (message == WM_ERASEBKGND) {
        return on_container_erase(hwnd, reinterpret_cast<HDC>(wparam));
    }
    return window_procedure(hwnd, message, wparam, lparam);
}

static void register_container_class() {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = container_procedure;
    window_class.cbWndExtra = 8;
    window_class.hInstance = g_runtime.instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = L"TesselContainer";
    RegisterClassExW(&window_class);
}

static void container_styles(uint32_t flags, DWORD* style, DWORD* ex_style) {
    *style = CONTAINER_STYLE;
    *ex_style = 0;
    if (flags & CONTAINER_BORDER) {
        *style |= WS_BORDER;
    } else if (flags & CONTAINER_DIALOG_FRAME) {
        *style |= WS_DLGFRAME;
    } else if (flags & CONTAINER_STATIC_EDGE) {
        *ex_style = WS_EX_STATICEDGE;
    } else if (flags & CONTAINER_CLIENT_EDGE) {
        *ex_style = WS_EX_CLIENTEDGE;
    }
}

int64_t container_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                         uint32_t flags) {
    static bool registered = false;
    if (!registered) {
        register_container_class();
        registered = true;
    }
    DWORD style = 0;
    DWORD ex_style = 0;
    container_styles(flags, &style, &ex_style);
    GadgetObject* gadget =
        control_create_native(id, ex_style, L"TesselContainer", L"", style, x, y, width, height);
    if (!gadget) {
        return 0;
    }
    HWND hwnd = gadget->hwnd;
    SetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND, COLOR_BTNFACE + 1);
    gadget->kind_slot_1 = NO_COLOR;
    SetWindowLongPtrW(hwnd, 0, 0);
    control_list_push(hwnd);
    InvalidateRect(hwnd, nullptr, TRUE);
    return control_create_common(gadget, id, hwnd, &CONTAINER_OPERATIONS);
}

static void container_release(GadgetObject* gadget) {
    brush_cache_release(background_brush(gadget->hwnd));
    SetWindowLongPtrW(gadget->hwnd, 0, 0);
}

static int64_t container_open_list(GadgetObject* gadget, int64_t) {
    control_list_push(gadget->hwnd);
    return 1;
}

static int64_t container_set_color(GadgetObject* gadget, int32_t which, int64_t color) {
    if (which != BACKGROUND_COLOR) {
        return 0;
    }
    brush_cache_release(background_brush(gadget->hwnd));
    HBRUSH brush = color == NO_COLOR ? nullptr : brush_cache_take(static_cast<uint32_t>(color));
    SetWindowLongPtrW(gadget->hwnd, 0, reinterpret_cast<LONG_PTR>(brush));
    gadget->kind_slot_1 = color;
    RedrawWindow(gadget->hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_INTERNALPAINT | RDW_FRAME);
    return 1;
}

static int64_t container_get_color(GadgetObject* gadget, int32_t which) {
    return which == BACKGROUND_COLOR ? gadget->kind_slot_1 : -1;
}
