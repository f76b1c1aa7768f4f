// The control registry, the common creation path, the common control
// procedure with its fixed teardown order, forwarding and posting.
#include <windows.h>
#include <ole2.h>
#include "toolkit/control_core.h"
#include "toolkit/window_core.h"
#include "toolkit/events.h"
#include "runtime/runtime.h"

static ObjectTable* g_controls;

// Registry release: destroying the native control runs the teardown, which
// frees the id. A control that cannot be destroyed is freed here.
static void release_control(int64_t id) {
    GadgetObject* gadget = control_record(id);
    if (!gadget) {
        registry_release(g_controls, id);
        return;
    }
    HWND hwnd = gadget->hwnd;
    DestroyWindow(hwnd);
    if (IsWindow(hwnd)) {
        registry_release(g_controls, id);
    }
}

void control_registry_create() {
    g_controls = registry_create_kind(sizeof(GadgetObject), 16, release_control);
}

ObjectTable* control_registry() {
    return g_controls;
}

GadgetObject* control_record(int64_t id) {
    if (!g_controls) {
        return nullptr;
    }
    return static_cast<GadgetObject*>(registry_lookup(g_controls, id));
}

// A toolkit control keeps its id both as GWLP_ID and as "TK_ID". The id is
// read from GWLP_ID only: the record found for it must name this very
// handle, which no foreign window can pass, and reading "TK_ID" as well
// would cost a window-server round trip under Wine on every message a
// control forwards.
GadgetObject* control_record_from_handle(HWND hwnd) {
    if (!hwnd) {
        return nullptr;
    }
    int64_t id = static_cast<int64_t>(GetWindowLongPtrW(hwnd, GWLP_ID));
    if (id == -1) {
        return nullptr;
    }
    GadgetObject* gadget = control_record(id);
    return gadget && gadget->hwnd == hwnd ? gadget : nullptr;
}

GadgetObject* control_record_allocate(int64_t id) {
    if (!g_controls) {
        return nullptr;
    }
    return static_cast<GadgetObject*>(registry_allocate(g_controls, id));
}

static void tear_down(HWND hwnd, int64_t id) {
    GadgetObject* gadget = control_record(id);
    if (gadget && gadget->kind_ops && gadget->kind_ops->release) {
        gadget->kind_ops->release(gadget);
    }
    if (gadget && gadget->hwnd == hwnd) {
        accessible_forget(gadget);
    }
    RemovePropW(hwnd, L"TK_ID");
    if (RemovePropW(hwnd, L"TK_DropAccept")) {
        RevokeDragDrop(hwnd);
    }
    SetWindowLongPtrW(hwnd, GWLP_ID, -1);
    event_purge(EVENT_GADGET, id, -1, -1);
    if (gadget && gadget->hwnd == hwnd) {
        registry_release(g_controls, id);
    }
}

static LRESULT CALLBACK common_procedure(HWND hwnd, UINT message, WPARAM wparam,
                                         LPARAM lparam) {
    int64_t id = static_cast<int64_t>(GetWindowLongPtrW(hwnd, GWLP_ID));
    GadgetObject* gadget = id == -1 ? nullptr : control_record(id);
    if (!gadget || gadget->hwnd != hwnd || !gadget->previous_proc) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    if (message == WM_GETOBJECT) {
        LRESULT answer = accessible_answer(gadget, wparam, lparam);
        if (answer) {
            return answer;
        }
    }
    LRESULT result = CallWindowProcW(gadget->previous_proc, hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        tear_down(hwnd, id);
    }
    return result;
}

GadgetObject* control_create_native(int64_t id, DWORD ex_style, const wchar_t* class_name,
                                    const wchar_t* text, DWORD style, int32_t x, int32_t y,
                                    int32_t width, int32_t height) {
    HWND parent = control_current_parent();
    RECT r = window_scale_control(parent, x, y, width, height);
    HWND hwnd = CreateWindowExW(ex_style, class_name, text, style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent,
                                reinterpret_cast<HMENU>(-1), g_runtime.instance, nullptr);
    if (!hwnd) {
        return nullptr;
    }
    GadgetObject* gadget = control_record_allocate(id);
    if (!gadget) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    gadget->hwnd = hwnd;
    gadget->layout = {x, y, x + width, y + height};
    return gadget;
}

int64_t control_create_common(GadgetObject* gadget, int64_t id, HWND hwnd,
                              const GadgetOperations* ops) {
    int64_t control_id = id == ANY_ID ? reinterpret_cast<int64_t>(gadget) : id;
    gadget->hwnd = hwnd;
    gadget->kind_ops = ops;
    SetWindowLongPtrW(hwnd, GWLP_ID, static_cast<LONG_PTR>(control_id));
    SetPropW(hwnd, L"TK_ID", reinterpret_cast<HANDLE>(control_id));
    gadget->previous_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(common_procedure)));
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(window_scale_font(GetParent(hwnd))),
                 TRUE);
    control_set_option_group_open(0);
    return id == ANY_ID ? control_id : reinterpret_cast<int64_t>(hwnd);
}

LRESULT control_forward(HWND sender, HWND parent, UINT message, WPARAM wparam,
                        LPARAM lparam) {
    GadgetObject* gadget = control_record_from_handle(sender);
    if (!gadget || !gadget->kind_ops->notify) {
        return CONTROL_DEFAULT_RESULT;
    }
    return gadget->kind_ops->notify(gadget, parent, message, wparam, lparam);
}

static void post_for(HWND hwnd, int64_t subtype, int32_t flags) {
    int64_t id = static_cast<int64_t>(GetWindowLongPtrW(hwnd, GWLP_ID));
    if (!hwnd || id == -1) {
        return;
    }
    int64_t window = -1;
    window_find_toplevel(hwnd, &window);
    event_post(EVENT_GADGET, id, window, subtype, nullptr, nullptr, flags);
}

void control_post(HWND hwnd, int64_t subtype) {
    post_for(hwnd, subtype, 0);
}

void control_post_forced(HWND hwnd, int64_t subtype) {
    post_for(hwnd, subtype, POST_FORCED);
}
