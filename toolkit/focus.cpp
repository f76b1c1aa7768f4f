// Keyboard focus navigation with Tab and Shift+Tab over the tab stops of
// the active window, wrapping at both ends, and the first focus of a page.
// An option group is one stop, entered at its checked option: the native
// radio button keeps WS_TABSTOP only on its checked option, so the style
// alone would make unchecked options unreachable.
#include <windows.h>
#include "toolkit/controls.h"
#include "toolkit/option_group.h"
#include "toolkit/windows.h"

static const int32_t MAX_CANDIDATES = 512;

struct TabStops {
    HWND items[MAX_CANDIDATES];
    int32_t count;
};

static bool has_class(HWND hwnd, const wchar_t* name) {
    wchar_t class_name[32] = {};
    GetClassNameW(hwnd, class_name, 32);
    return wcscmp(class_name, name) == 0;
}

static BOOL CALLBACK collect_tab_stop(HWND child, LPARAM lparam) {
    TabStops* stops = reinterpret_cast<TabStops*>(lparam);
    LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (!IsWindowEnabled(child) || !IsWindowVisible(child)) {
        return TRUE;
    }
    bool option = option_group_is_option(child);
    if (option ? option_group_entry(child) != child : !(style & WS_TABSTOP)) {
        return TRUE;
    }
    if (stops->count < MAX_CANDIDATES) {
        stops->items[stops->count++] = child;
    }
    return TRUE;
}

// The reference control and the root: composite controls count as one stop,
// an MDI child is a root of its own.
static HWND find_reference(HWND* root) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(*root, focus)) {
        return nullptr;
    }
    HWND reference = focus;
    for (HWND walk = focus; walk && walk != *root; walk = GetParent(walk)) {
        if (has_class(walk, L"MDI_ChildClass")) {
            *root = walk;
            return walk == focus ? nullptr : reference;
        }
        bool combo = has_class(walk, L"ComboBoxEx32") && (GetWindowLongPtrW(walk, GWL_STYLE) & 1);
        if (combo || has_class(walk, L"SysIPAddress32")) {
            reference = walk;
        }
    }
    HWND entry = option_group_is_option(reference) ? option_group_entry(reference) : nullptr;
    return entry ? entry : reference;
}

static int32_t index_of(const TabStops* stops, HWND hwnd) {
    for (int32_t i = 0; i < stops->count; i++) {
        if (stops->items[i] == hwnd) {
            return i;
        }
    }
    return -1;
}

static HWND choose(const TabStops* stops, HWND reference, bool backwards) {
    int32_t at = reference ? index_of(stops, reference) : -1;
    if (backwards) {
        return at > 0 ? stops->items[at - 1] : stops->items[stops->count - 1];
    }
    if (!reference) {
        return stops->items[0];
    }
    if (at < 0) {
        return stops->items[0];    // the focus is on no stop (a hidden page's control)
    }
    return at + 1 < stops->count ? stops->items[at + 1] : stops->items[0];
}

// Like the dialog manager: a single-line edit field entered from the
// keyboard has its whole text selected, ready to be typed over.
static void focus_enter(HWND target) {
    SetFocus(target);
    if (has_class(target, L"Edit") && !(GetWindowLongPtrW(target, GWL_STYLE) & ES_MULTILINE)) {
        SendMessageW(target, EM_SETSEL, 0, -1);
    }
}

// The stops under `root` in walk order; null when there are none or no memory.
static TabStops* collect(HWND root) {
    TabStops* stops = static_cast<TabStops*>(HeapAlloc(GetProcessHeap(), 0, sizeof(TabStops)));
    if (!stops) {
        return nullptr;
    }
    stops->count = 0;
    EnumChildWindows(root, collect_tab_stop, reinterpret_cast<LPARAM>(stops));
    if (stops->count == 0) {
        HeapFree(GetProcessHeap(), 0, stops);
        return nullptr;
    }
    return stops;
}

void focus_next(bool backwards) {
    HWND root = GetActiveWindow();
    if (!root) {
        return;
    }
    HWND reference = find_reference(&root);
    TabStops* stops = collect(root);
    if (!stops) {
        return;
    }
    HWND target = choose(stops, reference, backwards);
    HeapFree(GetProcessHeap(), 0, stops);
    if (target) {
        focus_enter(target);
    }
}

// The control a page starts on: a container's first stop, an option's
// group entry, any other control itself.
static HWND page_start(HWND page) {
    if (has_class(page, L"TesselContainer")) {
        TabStops* stops = collect(page);
        if (!stops) {
            return nullptr;
        }
        HWND first = stops->items[0];
        HeapFree(GetProcessHeap(), 0, stops);
        return first;
    }
    if (option_group_is_option(page)) {
        return option_group_entry(page);
    }
    return IsWindowVisible(page) && IsWindowEnabled(page) ? page : nullptr;
}

// The focus goes to the page now when its window is active; else the window
// takes it when it is activated (the window procedure restores "TK_Focus"
// then), so a page may also be shown before its window is.
void focus_page_shown(int64_t page) {
    HWND handle = control_handle(page);
    HWND start = handle ? page_start(handle) : nullptr;
    if (!start) {
        return;
    }
    HWND root = GetAncestor(start, GA_ROOT);
    SetPropW(root, L"TK_Focus", start);
    if (GetActiveWindow() == root) {
        focus_enter(start);
    }
}
