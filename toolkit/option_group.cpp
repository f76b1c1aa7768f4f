// Walks over the options of one group, for checking (option.cpp) and for the
// keyboard (focus.cpp, dialog_keys.cpp).
#include "toolkit/option_group.h"

bool option_group_is_option(HWND hwnd) {
    wchar_t class_name[8] = {};
    if (!hwnd || GetClassNameW(hwnd, class_name, 8) != 6 || lstrcmpiW(class_name, L"Button")) {
        return false;
    }
    LONG_PTR type = GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

HWND option_group_start(HWND option) {
    HWND start = option;
    for (HWND walk = option; walk && option_group_is_option(walk);
         walk = GetWindow(walk, GW_HWNDPREV)) {
        start = walk;
        if (GetWindowLongPtrW(walk, GWL_STYLE) & WS_GROUP) {
            break;
        }
    }
    return start;
}

HWND option_group_next(HWND option) {
    HWND next = GetWindow(option, GW_HWNDNEXT);
    if (!option_group_is_option(next) || (GetWindowLongPtrW(next, GWL_STYLE) & WS_GROUP)) {
        return nullptr;
    }
    return next;
}

static HWND group_last(HWND option) {
    HWND last = option;
    for (HWND walk = option_group_next(option); walk; walk = option_group_next(walk)) {
        last = walk;
    }
    return last;
}

static bool reachable(HWND option) {
    return IsWindowVisible(option) && IsWindowEnabled(option);
}

// Goes round the group at most once: the walk ends back at `option` when
// every other option is hidden or disabled.
HWND option_group_step(HWND option, bool backwards) {
    HWND walk = option;
    for (;;) {
        HWND next = backwards ? (walk == option_group_start(walk) ? nullptr
                                                                  : GetWindow(walk, GW_HWNDPREV))
                              : option_group_next(walk);
        if (!next) {
            next = backwards ? group_last(walk) : option_group_start(walk);
        }
        if (next == option) {
            return nullptr;
        }
        if (reachable(next)) {
            return next;
        }
        walk = next;
    }
}

HWND option_group_entry(HWND option) {
    HWND first = nullptr;
    for (HWND walk = option_group_start(option); walk; walk = option_group_next(walk)) {
        if (!reachable(walk)) {
            continue;
        }
        if (SendMessageW(walk, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            return walk;
        }
        first = first ? first : walk;
    }
    return first;
}
