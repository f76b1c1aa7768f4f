// The per-thread current control list: the parent of the next control, the
// stack of parents saved by open containers, and the saved list of each
// window ("TK_GadgetStack_<module>") kept alive by the list-keeper procedure.
#include <windows.h>
#include <stdio.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"
#include "runtime/runtime.h"

static const int32_t STACK_GROWTH = 10;

struct ControlList {
    HWND current_parent;
    int32_t option_group_open;
    HFONT current_font;
    HWND* parent_stack;
    int32_t stack_count;
    int32_t stack_capacity;
};

struct SavedList {
    HWND window;
    HWND current_parent;
    HWND* parent_stack;
    int32_t stack_count;
    int32_t stack_capacity;
    WNDPROC previous_proc;
};

static ThreadSlot t_list;
static HFONT g_default_font;

void control_list_set_default_font(HFONT font) {
    g_default_font = font;
}

static ControlList* current_list() {
    ControlList* existing = static_cast<ControlList*>(thread_slot_get(&t_list));
    if (existing) {
        return existing;
    }
    ControlList* list = static_cast<ControlList*>(heap_alloc(sizeof(ControlList)));
    if (!list) {
        return nullptr;
    }
    list->current_font = g_default_font;
    list->parent_stack = static_cast<HWND*>(heap_alloc(STACK_GROWTH * sizeof(HWND)));
    list->stack_capacity = list->parent_stack ? STACK_GROWTH : 0;
    thread_slot_set(&t_list, list);
    return list;
}

HWND control_current_parent() {
    ControlList* list = current_list();
    return list ? list->current_parent : nullptr;
}

HFONT control_current_font() {
    ControlList* list = current_list();
    return list ? list->current_font : g_default_font;
}

int32_t control_option_group_open() {
    ControlList* list = current_list();
    return list ? list->option_group_open : 0;
}

void control_set_option_group_open(int32_t open) {
    ControlList* list = current_list();
    if (list) {
        list->option_group_open = open;
    }
}

static bool grow_stack(ControlList* list) {
    int32_t capacity = list->stack_capacity + STACK_GROWTH;
    void* grown = list->parent_stack
                      ? heap_realloc(list->parent_stack, capacity * sizeof(HWND))
                      : heap_alloc(capacity * sizeof(HWND));
    if (!grown) {
        return false;
    }
    list->parent_stack = static_cast<HWND*>(grown);
    list->stack_capacity = capacity;
    return true;
}

// When the stack cannot grow the container still becomes the parent, but
// control_list_close cannot return to the parent before it.
void control_list_push(HWND container) {
    ControlList* list = current_list();
    if (!list) {
        return;
    }
    if (list->stack_count < list->stack_capacity || grow_stack(list)) {
        list->parent_stack[list->stack_count++] = list->current_parent;
    }
    list->current_parent = container;
}

void control_list_close() {
    ControlList* list = current_list();
    if (!list || list->stack_count <= 0) {
        return;
    }
    list->stack_count--;
    list->current_parent = list->parent_stack[list->stack_count];
}

static void property_name(wchar_t* name, size_t count) {
    _snwprintf(name, count - 1, L"TK_GadgetStack_%lld",
               static_cast<long long>(reinterpret_cast<int64_t>(g_runtime.instance)));
    name[count - 1] = 0;
}

static SavedList* saved_list_of(HWND window) {
    wchar_t name[64];
    property_name(name, 64);
    return static_cast<SavedList*>(GetPropW(window, name));
}

static HWND current_root(const ControlList* list) {
    return list->stack_count > 0 ? list->parent_stack[0] : list->current_parent;
}

static LRESULT CALLBACK list_keeper_procedure(HWND hwnd, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
    SavedList* saved = saved_list_of(hwnd);
    WNDPROC previous = saved ? saved->previous_proc : nullptr;
    if (message == WM_NCDESTROY && saved) {
        ControlList* list = current_list();
        if (list && current_root(list) == hwnd) {
            list->current_parent = nullptr;
            list->stack_count = 0;
        }
        heap_free(saved->parent_stack);
        heap_free(saved);
        wchar_t name[64];
        property_name(name, 64);
        RemovePropW(hwnd, name);
    }
    if (!previous) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return CallWindowProcW(previous, hwnd, message, wparam, lparam);
}

static void save_list(ControlList* list, SavedList* saved) {
    saved->current_parent = list->current_parent;
    saved->parent_stack = list->parent_stack;
    saved->stack_count = list->stack_count;
    saved->stack_capacity = list->stack_capacity;
    list->parent_stack = nullptr;
    list->stack_count = 0;
    list->stack_capacity = 0;
}

static void restore_list(ControlList* list, SavedList* saved) {
    heap_free(list->parent_stack);
    list->current_parent = saved->current_parent;
    list->parent_stack = saved->parent_stack;
    list->stack_count = saved->stack_count;
    list->stack_capacity = saved->stack_capacity;
    saved->parent_stack = nullptr;
    saved->stack_count = 0;
    saved->stack_capacity = 0;
}

static void start_list(ControlList* list, HWND window) {
    if (!list->parent_stack) {
        list->parent_stack = static_cast<HWND*>(heap_alloc(STACK_GROWTH * sizeof(HWND)));
        list->stack_capacity = list->parent_stack ? STACK_GROWTH : 0;
    }
    list->stack_count = 0;
    list->current_parent = window;
    SavedList* saved = static_cast<SavedList*>(heap_alloc(sizeof(SavedList)));
    if (!saved) {
        return;
    }
    saved->window = window;
    wchar_t name[64];
    property_name(name, 64);
    SetPropW(window, name, saved);
    saved->previous_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(list_keeper_procedure)));
}

HWND control_list_use(HWND window) {
    ControlList* list = current_list();
    if (!list) {
        return nullptr;
    }
    HWND root = current_root(list);
    SavedList* root_saved = root ? saved_list_of(root) : nullptr;
    if (root_saved) {
        save_list(list, root_saved);
    }
    SavedList* saved = window ? saved_list_of(window) : nullptr;
    if (saved) {
        restore_list(list, saved);
    } else if (window) {
        start_list(list, window);
    }
    list->option_group_open = 0;
    return root;
}
