// The keys a dialog box answers, in every toolkit window: the arrow keys
// move through an option group and check the option reached, Enter presses
// the focused push button or else the page's default button, Escape the
// page's cancel button. A control that asks for a key itself
// (WM_GETDLGCODE) keeps it.
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"
#include "toolkit/option_group.h"
#include "toolkit/window_core.h"
#include "toolkit/windows.h"

enum : int32_t { PAGE_KEY_NONE = 0, PAGE_KEY_ENTER = 1, PAGE_KEY_ESCAPE = 2 };

// The default button also gets the default-button style, so that it is
// drawn and announced as the default; Enter is still handled here.
static void mark(int64_t button, int32_t key) {
    GadgetObject* gadget = control_record(button);
    if (!gadget) {
        return;
    }
    gadget->page_key = key;
    if (key == PAGE_KEY_ENTER && gadget->kind_ops && gadget->kind_ops->kind == KIND_BUTTON) {
        SendMessageW(gadget->hwnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

void focus_set_page_buttons(int64_t default_button, int64_t cancel_button) {
    mark(default_button, PAGE_KEY_ENTER);
    mark(cancel_button, PAGE_KEY_ESCAPE);
}

static bool is_marked(HWND hwnd, int32_t key) {
    GadgetObject* gadget = control_record_from_handle(hwnd);
    return gadget && gadget->page_key == key && IsWindowVisible(hwnd);
}

struct MarkSearch {
    int32_t key;
    HWND found;
};

static BOOL CALLBACK find_marked(HWND child, LPARAM lparam) {
    MarkSearch* search = reinterpret_cast<MarkSearch*>(lparam);
    if (is_marked(child, search->key)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// The visible button marked for `key` nearest the focus: among the focus's
// siblings, then its parent's, and so on; else the first anywhere in the
// window (the focus may sit in a part of the page outside the panel that
// holds its buttons).
static HWND page_button(HWND root, HWND focus, int32_t key) {
    for (HWND level = focus ? GetParent(focus) : nullptr; level; level = GetParent(level)) {
        for (HWND child = GetWindow(level, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (is_marked(child, key)) {
                return child;
            }
        }
        if (level == root) {
            break;
        }
    }
    MarkSearch search = {key, nullptr};
    EnumChildWindows(root, find_marked, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a click on the button sends: its parent turns it into the button's
// control event. The focus stays where it is, as with the dialog manager.
static void press(HWND button) {
    if (!IsWindowEnabled(button)) {
        return;
    }
    LONG_PTR id = GetWindowLongPtrW(button, GWLP_ID);
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(LOWORD(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// No lParam: the rich edit control switches to a dialog mode when it sees
// one, in which Escape closes its parent window.
static bool wants_key(HWND focus, WPARAM key) {
    LRESULT code = SendMessageW(focus, WM_GETDLGCODE, key, 0);
    if (!(code & DLGC_WANTMESSAGE)) {
        return false;
    }
    // A read-only text does nothing with Enter or Escape.
    return !((code & DLGC_HASSETSEL) && (GetWindowLongPtrW(focus, GWL_STYLE) & ES_READONLY));
}

// Arrows step through the group with the click a mouse would make: the
// option takes the focus, is checked and reports BN_CLICKED.
static bool on_arrow(HWND focus, bool backwards) {
    if (!option_group_is_option(focus)) {
        return false;
    }
    HWND target = option_group_step(focus, backwards);
    if (target) {
        SendMessageW(target, BM_CLICK, 0, 0);
    }
    return true;
}

static bool on_page_key(HWND root, HWND focus, WPARAM key) {
    if (focus && wants_key(focus, key)) {
        return false;
    }
    if (key == VK_RETURN && focus &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        press(focus);
        return true;
    }
    HWND button = page_button(root, focus, key == VK_RETURN ? PAGE_KEY_ENTER : PAGE_KEY_ESCAPE);
    if (!button) {
        return false;
    }
    press(button);
    return true;
}

static bool key_down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

bool dialog_keys_translate(const MSG* message) {
    if (message->message != WM_KEYDOWN || key_down(VK_CONTROL) || key_down(VK_MENU)) {
        return false;
    }
    HWND root = GetActiveWindow();
    if (!root || window_id_from_handle(root) == -1) {
        return false;
    }
    HWND focus = GetFocus();
    if (focus && focus != root && !IsChild(root, focus)) {
        return false;
    }
    switch (message->wParam) {
    case VK_LEFT:
    case VK_UP: return on_arrow(focus, true);
    case VK_RIGHT:
    case VK_DOWN: return on_arrow(focus, false);
    case VK_RETURN:
    case VK_ESCAPE: return on_page_key(root, focus == root ? nullptr : focus, message->wParam);
    }
    return false;
}
