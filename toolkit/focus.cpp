// Keyboard focus navigation with Tab and Shift+Tab over the tab stops of
// the active window, wrapping at both ends.
#include <windows.h>
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
    if (!IsWindowEnabled(child) || !IsWindowVisible(child) || !(style & WS_TABSTOP)) {
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
    return reference;
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
        return nullptr;
    }
    return at + 1 < stops->count ? stops->items[at + 1] : stops->items[0];
}

void focus_next(bool backwards) {
    HWND root = GetActiveWindow();
    if (!root) {
        return;
    }
    HWND reference = find_reference(&root);
    TabStops* stops = static_cast<TabStops*>(HeapAlloc(GetProcessHeap(), 0, sizeof(TabStops)));
    if (!stops) {
        return;
    }
    stops->count = 0;
    EnumChildWindows(root, collect_tab_stop, reinterpret_cast<LPARAM>(stops));
    HWND target = stops->count > 0 ? choose(stops, reference, backwards) : nullptr;
    HeapFree(GetProcessHeap(), 0, stops);
    if (target) {
        SetFocus(target);
    }
}
