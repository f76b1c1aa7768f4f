// The one window procedure of all toolkit windows: turns native messages
// into toolkit events. Each message has its own handler; a handler answers
// CONTROL_DEFAULT_RESULT to ask for DefWindowProcW.
#include <windows.h>
#include <ole2.h>
#include "toolkit/window_core.h"
#include "toolkit/control_core.h"
#include "toolkit/event_queue.h"
#include "toolkit/windows.h"
#include "runtime/runtime.h"

// The notification-area icon's callback message; no system message has
// this number.
static const UINT MESSAGE_TRAY = 12501;
static const int64_t MENU_SENDER_ID = -10000;

// The window a message belongs to: its record (or null) and id.
struct WindowContext {
    HWND hwnd;           // the receiving window
    HWND toplevel;       // the toolkit window found up the parent chain
    WindowObject* record;
    int64_t id;
};

static void post_window_event(const WindowContext* context, int32_t code, int64_t control) {
    event_post(code, control, context->id, 0);
}

static LRESULT on_command(const WindowContext* context, WPARAM wparam, LPARAM lparam) {
    HWND sender = reinterpret_cast<HWND>(lparam);
    if (sender) {
        LRESULT answer = control_forward(sender, context->hwnd, WM_COMMAND, wparam, lparam);
        if (answer != CONTROL_DEFAULT_RESULT) {
            return 0;
        }
        int64_t sender_id = static_cast<int64_t>(GetWindowLongPtrW(sender, GWLP_ID));
        if (sender_id == MENU_SENDER_ID) {
            post_window_event(context, EVENT_MENU, LOWORD(wparam));
        } else if (sender_id != -1) {
            event_post(EVENT_GADGET, sender_id, context->id, HIWORD(wparam));
        }
        return 0;
    }
    if (HIWORD(wparam) == 0) {
        post_window_event(context, EVENT_MENU, static_cast<int64_t>(wparam));
    } else if (LOWORD(wparam) == COMMAND_FOCUS_NEXT) {
        focus_next(false);
    } else if (LOWORD(wparam) == COMMAND_FOCUS_PREVIOUS) {
        focus_next(true);
    } else {
        post_window_event(context, EVENT_MENU, LOWORD(wparam));
    }
    return 0;
}

static LRESULT on_notify(const WindowContext* context, WPARAM wparam, LPARAM lparam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    if (!header) {
        return CONTROL_DEFAULT_RESULT;
    }
    return control_forward(header->hwndFrom, context->hwnd, WM_NOTIFY, wparam, lparam);
}

static LRESULT on_close(const WindowContext* context) {
    if (context->record && context->hwnd == context->record->hwnd) {
        post_window_event(context, EVENT_CLOSE_WINDOW, context->id);
    }
    return 0;
}

static LRESULT on_move(const WindowContext* context) {
    WindowObject* window = context->record;
    if (window && context->hwnd == window->hwnd && window->events_enabled) {
        post_window_event(context, EVENT_MOVE_WINDOW, context->id);
    }
    return 0;
}

static void post_size(const WindowContext* context) {
    event_purge(EVENT_SIZE_WINDOW, -1, context->id, -1);
    post_window_event(context, EVENT_SIZE_WINDOW, 0);
}

static LRESULT on_size(const WindowContext* context, WPARAM kind) {
    WindowObject* window = context->record;
    if (window && context->hwnd != window->hwnd) {
        return 1;
    }
    if (!window || !window->events_enabled) {
        return CONTROL_DEFAULT_RESULT;
    }
    if (kind == SIZE_MINIMIZED) {
        window->size_state = 1;
        post_window_event(context, EVENT_MINIMIZE, 0);
    } else if (kind == SIZE_MAXIMIZED) {
        window->size_state = 1;
        post_window_event(context, EVENT_MAXIMIZE, 0);
        post_size(context);
    } else if (kind == SIZE_RESTORED && window->size_state == 1) {
        window->size_state = 0;
        post_window_event(context, EVENT_RESTORE, 0);
        post_size(context);
    } else {
        post_size(context);
    }
    return 0;
}

static void hide_cues(HWND hwnd) {
    LRESULT state = SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0);
    if ((state & (UISF_HIDEFOCUS | UISF_HIDEACCEL)) != (UISF_HIDEFOCUS | UISF_HIDEACCEL)) {
        SendMessageW(hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                     0);
    }
}

void window_show_cues(HWND hwnd) {
    LRESULT state = SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0);
    if (state & (UISF_HIDEFOCUS | UISF_HIDEACCEL)) {
        SendMessageW(hwnd, WM_UPDATEUISTATE,
                     MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    }
}

static LRESULT on_activate(const WindowContext* context, WPARAM wparam) {
    if (LOWORD(wparam) != WA_INACTIVE) {
        HWND focus = static_cast<HWND>(GetPropW(context->hwnd, L"TK_Focus"));
        if (focus && IsWindow(focus)) {
            SetFocus(focus);
        }
        post_window_event(context, EVENT_ACTIVATE, 0);
        return 1;
    }
    SetPropW(context->hwnd, L"TK_Focus", GetFocus());
    hide_cues(context->hwnd);
    post_window_event(context, EVENT_DEACTIVATE, 0);
    return 1;
}

static BOOL CALLBACK send_color_change(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

static LRESULT on_min_max_info(const WindowContext* context, LPARAM lparam) {
    if (!context->record) {
        return CONTROL_DEFAULT_RESULT;
    }
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lparam);
    LONG_PTR ex_style = GetWindowLongPtrW(context->hwnd, GWL_EXSTYLE);
    if (info && (ex_style & WS_EX_TOOLWINDOW)) {
        info->ptMinTrackSize.x = 1;
    }
    return 0;
}

static LRESULT on_timer(const WindowContext* context, WPARAM timer) {
    if (!context->record) {
        return CONTROL_DEFAULT_RESULT;
    }
    post_window_event(context, EVENT_TIMER, static_cast<int64_t>(timer));
    return 0;
}

static LRESULT on_tray(const WindowContext* context, WPARAM wparam, LPARAM lparam) {
    int64_t subtype = -1;
    subtype = lparam == WM_LBUTTONDOWN ? 0 : subtype;
    subtype = lparam == WM_RBUTTONDOWN ? 1 : subtype;
    subtype = lparam == WM_LBUTTONDBLCLK ? 2 : subtype;
    subtype = lparam == WM_RBUTTONDBLCLK ? 3 : subtype;
    if (subtype >= 0) {
        event_post(EVENT_TRAY, static_cast<int64_t>(wparam), context->id, subtype);
    }
    PostMessageW(context->hwnd, WM_NULL, 0, 0);
    return 0;
}

// The window's own teardown; its class is unregistered by window_close.
static LRESULT on_nc_destroy(const WindowContext* context) {
    // A destroyed handle may come back as another window's: never keep it.
    window_ids_forget(context->hwnd);
    WindowObject* window = context->record;
    if (!window || context->hwnd != window->hwnd) {
        return 1;
    }
    event_callbacks_remove_window(context->id);
    RemovePropW(context->hwnd, L"TK_Focus");
    RemovePropW(context->hwnd, L"TK_WindowID");
    if (RemovePropW(context->hwnd, L"TK_DropAccept")) {
        RevokeDragDrop(context->hwnd);
    }
    window_scale_release(window);
    heap_free(window->accelerator_entries);
    if (window->accelerator_table) {
        DestroyAcceleratorTable(window->accelerator_table);
    }
    wchar_t name[48];
    window_class_name(context->id, name, 48);
    UnregisterClassW(name, g_runtime.instance);
    registry_release(window_registry(), context->id);
    events_purge_window(context->id);
    return 1;
}

// A window with a picture draws it itself; the rest erase with their class
// brush. Themed buttons reach this too, through DrawThemeParentBackground.
static LRESULT on_erase_background(const WindowContext* context, HDC dc) {
    WindowObject* window = context->record;
    HBITMAP picture = window ? window->scaled_background : nullptr;
    picture = picture ? picture : (window ? window->background : nullptr);
    if (!window || context->hwnd != window->hwnd || !window_background_paint(picture, dc)) {
        return CONTROL_DEFAULT_RESULT;
    }
    return 1;
}

static LRESULT on_dpi_changed(const WindowContext* context, WPARAM wparam, LPARAM lparam) {
    WindowObject* window = context->record;
    if (!window || context->hwnd != window->hwnd) {
        return CONTROL_DEFAULT_RESULT;
    }
    return window_scale_dpi_changed(window, HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
}

static LRESULT dispatch(const WindowContext* context, UINT message, WPARAM wparam,
                        LPARAM lparam) {
    switch (message) {
    case WM_COMMAND: return on_command(context, wparam, lparam);
    case WM_NOTIFY: return on_notify(context, wparam, lparam);
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case MESSAGE_FORWARD:
        return control_forward(reinterpret_cast<HWND>(lparam), context->hwnd, message, wparam,
                               lparam);
    case WM_CLOSE: return on_close(context);
    case WM_MOVE: return on_move(context);
    case WM_SIZE: return on_size(context, wparam);
    case WM_ACTIVATE: return on_activate(context, wparam);
    case WM_ERASEBKGND:
        post_window_event(context, EVENT_REPAINT, 0);
        return on_erase_background(context, reinterpret_cast<HDC>(wparam));
    case WM_SYSCOLORCHANGE: EnumChildWindows(context->hwnd, send_color_change, 0); break;
    case WM_GETMINMAXINFO: return on_min_max_info(context, lparam);
    case WM_TIMER: return on_timer(context, wparam);
    case WM_LBUTTONUP: post_window_event(context, EVENT_LEFT_CLICK, 0); return 0;
    case WM_LBUTTONDBLCLK: post_window_event(context, EVENT_LEFT_DOUBLE_CLICK, 0); return 0;
    case WM_RBUTTONUP: post_window_event(context, EVENT_RIGHT_CLICK, 0); return 0;
    case MESSAGE_TRAY: return on_tray(context, wparam, lparam);
    case WM_NCDESTROY: return on_nc_destroy(context);
    case WM_DPICHANGED: return on_dpi_changed(context, wparam, lparam);
    }
    return CONTROL_DEFAULT_RESULT;
}

LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowContext context = {};
    context.hwnd = hwnd;
    context.toplevel = window_find_toplevel(hwnd, &context.id);
    context.record = context.toplevel ? window_record(context.id) : nullptr;
    LRESULT result = dispatch(&context, message, wparam, lparam);
    if (result != CONTROL_DEFAULT_RESULT) {
        return result;
    }
    SetLastError(0);
    return DefWindowProcW(hwnd, message, wparam, lparam);
}
