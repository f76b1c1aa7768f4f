// Top-level windows as numbered objects: opening with the style computed
// from the toolkit flags, centring, closing and the window library steps.
#include <windows.h>
#include <stdio.h>
#include "toolkit/system_module.h"
#include "toolkit/window_core.h"
#include "toolkit/window_scale.h"
#include "toolkit/windows.h"
#include "toolkit/controls.h"
#include "toolkit/event_queue.h"
#include "runtime/runtime.h"
#include "runtime/libraries.h"

// Flags that only place or show the window: alone they ask for a caption.
static constexpr uint32_t PLACEMENT_FLAGS =
    WINDOW_HIDDEN | WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_PARENT;
// What a tool window drops: the boxes and the minimized or maximized start.
static constexpr uint32_t TOOL_WINDOW_DROPS =
    WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_MAXIMIZE | WS_MINIMIZE;
// The toolkit's bits among the styles: the frame is measured without these,
// and the native window made without them and WINDOW_NO_ACTIVATE.
static constexpr uint32_t POSITION_FLAGS =
    WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_PARENT | WINDOW_TOOL;
static constexpr uint32_t TOOLKIT_ONLY_FLAGS = POSITION_FLAGS | WINDOW_NO_ACTIVATE;
// A sizable window with a caption: its frame is drawn wider with composition on.
static constexpr uint32_t SIZABLE_CAPTION = WS_CAPTION | WS_THICKFRAME;

static const int32_t DEFAULT_POSITION = -65535;

static ObjectTable* g_windows;
static HICON g_program_icon;
static HCURSOR g_arrow_cursor;
static int32_t g_composition = -1;   // -1 not yet tested

static void release_window(int64_t id) {
    window_close(id);
}

ObjectTable* window_registry() {
    return g_windows;
}

WindowObject* window_record(int64_t id) {
    if (!g_windows) {
        return nullptr;
    }
    return static_cast<WindowObject*>(registry_lookup(g_windows, id));
}

void window_class_name(int64_t id, wchar_t* name, size_t count) {
    _snwprintf(name, count - 1, L"WindowClass_%lld", static_cast<long long>(id));
    name[count - 1] = 0;
}

static void register_window_class(const wchar_t* name) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = g_runtime.instance;
    window_class.hIcon = g_program_icon;
    window_class.hCursor = g_arrow_cursor;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = name;
    RegisterClassExW(&window_class);
}

static uint32_t native_style(uint32_t flags, uint32_t* ex_style) {
    uint32_t style = flags & ~WINDOW_KEEP_LIST;
    if ((style & ~PLACEMENT_FLAGS) == 0) {
        style |= WS_CAPTION;
    }
    style &= ~WINDOW_HIDDEN;
    *ex_style = 0;
    if (style & WINDOW_TOOL) {
        style &= ~TOOL_WINDOW_DROPS;
        style |= WS_CAPTION;
        *ex_style = WS_EX_TOOLWINDOW;
    }
    return style;
}

// Tested once per process; without dwmapi.dll composition counts as off.
static bool composition_enabled() {
    if (g_composition >= 0) {
        return g_composition == 1;
    }
    g_composition = 0;
    HMODULE dwm = system_module_load(L"dwmapi.dll");
    if (!dwm) {
        return false;
    }
    typedef HRESULT(WINAPI * IsEnabled)(BOOL*);
    IsEnabled is_enabled = reinterpret_cast<IsEnabled>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    BOOL enabled = FALSE;
    if (is_enabled && SUCCEEDED(is_enabled(&enabled)) && enabled) {
        g_composition = 1;
    }
    FreeLibrary(dwm);
    return g_composition == 1;
}

static void window_position(int32_t* x, int32_t* y, uint32_t flags, uint32_t style) {
    bool centred = (flags & (WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_PARENT)) != 0;
    if (*x == DEFAULT_POSITION || (*y == DEFAULT_POSITION && !centred)) {
        *x = CW_USEDEFAULT;
        *y = CW_USEDEFAULT;
        return;
    }
    if ((style & SIZABLE_CAPTION) == SIZABLE_CAPTION && composition_enabled()) {
        *x -= 5;
    }
}

// Centred between `low` and `high`; a window larger than that starts at
// `low`, so its title bar and left edge stay on the screen.
static int32_t centred_between(int32_t size, int32_t low, int32_t high) {
    if (size >= high - low) {
        return low;
    }
    return low + (high - low - size) / 2;
}

static void centre_window(HWND hwnd, HWND parent, uint32_t flags) {
    RECT outer;
    GetWindowRect(hwnd, &outer);
    int32_t width = outer.right - outer.left;
    int32_t height = outer.bottom - outer.top;
    int32_t x = 0;
    int32_t y = 0;
    if (flags & WINDOW_CENTRE_SCREEN) {
        RECT area = scale_work_area(hwnd);
        x = centred_between(width, area.left, area.right);
        y = centred_between(height, area.top, area.bottom);
    } else {
        HWND reference = parent ? parent : GetActiveWindow();
        RECT area;
        if (!reference || reference == hwnd || !GetWindowRect(reference, &area)) {
            return;
        }
        x = area.left + ((area.right - area.left) - width) / 2;
        y = area.top + ((area.bottom - area.top) - height) / 2;
        x = x < 0 ? 0 : x;
        y = y < 0 ? 0 : y;
    }
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void show_window(HWND hwnd, uint32_t style) {
    bool quiet = (style & WINDOW_NO_ACTIVATE) != 0;
    int command = quiet ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL;
    if (style & WINDOW_MAXIMIZED) {
        command = quiet ? SW_SHOWNA : SW_MAXIMIZE;
    } else if (style & WINDOW_MINIMIZED) {
        command = quiet ? SW_SHOWMINNOACTIVE : SW_SHOWMINIMIZED;
    }
    ShowWindow(hwnd, command);
}

static void build_accelerators(WindowObject* window, uint32_t style) {
    window->accelerator_count = 2;
    window->size_state = (style & (WINDOW_MAXIMIZED | WINDOW_MINIMIZED)) ? 1 : 0;
    ACCEL* entries = static_cast<ACCEL*>(heap_alloc(2 * sizeof(ACCEL)));
    window->accelerator_entries = entries;
    if (!entries) {
        return;
    }
    entries[0].fVirt = FVIRTKEY | FNOINVERT;
    entries[0].key = VK_TAB;
    entries[0].cmd = COMMAND_FOCUS_NEXT;
    entries[1].fVirt = FVIRTKEY | FNOINVERT | FSHIFT;
    entries[1].key = VK_TAB;
    entries[1].cmd = COMMAND_FOCUS_PREVIOUS;
    window->accelerator_table = CreateAcceleratorTableW(entries, 2);
}

static HWND create_native(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                          const wchar_t* title, uint32_t flags, HWND parent) {
    uint32_t ex_style = 0;
    uint32_t style = native_style(flags, &ex_style);
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, style & ~POSITION_FLAGS, FALSE, ex_style);
    window_position(&x, &y, flags, style);
    wchar_t name[48];
    window_class_name(id, name, 48);
    return CreateWindowExW(ex_style, name, title ? title : L"", style & ~TOOLKIT_ONLY_FLAGS,
                           x, y, outer.right - outer.left, outer.bottom - outer.top, parent,
                           nullptr, g_runtime.instance, nullptr);
}

int64_t window_open(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                    const wchar_t* title, uint32_t flags, HWND parent) {
    if (!g_windows) {
        return 0;
    }
    WindowObject* window = static_cast<WindowObject*>(registry_allocate(g_windows, id));
    if (!window) {
        return 0;
    }
    int64_t window_id = id == ANY_ID ? reinterpret_cast<int64_t>(window) : id;
    wchar_t name[48];
    window_class_name(window_id, name, 48);
    register_window_class(name);
    HWND hwnd = create_native(window_id, x, y, width, height, title, flags, parent);
    if (!hwnd) {
        UnregisterClassW(name, g_runtime.instance);
        registry_release(g_windows, window_id);
        return 0;
    }
    window->hwnd = hwnd;
    window->events_enabled = 0;
    window_scale_opened(window, width, height);
    SetPropW(hwnd, L"TK_WindowID", reinterpret_cast<HANDLE>(window_id + 1));
    window_ids_remember(hwnd, window_id);
    if (flags & (WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_PARENT)) {
        centre_window(hwnd, parent, flags);
    }
    uint32_t ex_style = 0;
    uint32_t style = native_style(flags, &ex_style);
    if (!(flags & WINDOW_HIDDEN)) {
        show_window(hwnd, style);
    }
    build_accelerators(window, style);
    if (!(flags & WINDOW_KEEP_LIST)) {
        control_list_use(hwnd);
    }
    window->events_enabled = 1;
    return id == ANY_ID ? window_id : reinterpret_cast<int64_t>(hwnd);
}

// A window opened hidden is shown here once its content is complete, so the
// user never sees it half built. Painted at once: under Wine the frame
// would otherwise stay empty until the event loop runs again.
void window_show(int64_t id) {
    HWND hwnd = window_handle(id);
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
    }
}

HWND window_handle(int64_t id) {
    WindowObject* window = window_record(id);
    return window ? window->hwnd : nullptr;
}

HWND window_find_toplevel(HWND hwnd, int64_t* id) {
    for (HWND walk = hwnd; walk; walk = GetParent(walk)) {
        int64_t found = window_id_from_handle(walk);
        if (found != -1) {
            *id = found;
            return walk;
        }
    }
    *id = -1;
    return nullptr;
}

// Destroying the window runs its teardown on WM_NCDESTROY, which frees the id.
void window_close(int64_t id) {
    if (id == ANY_ID) {
        if (g_windows) {
            registry_release_all(g_windows);
        }
        return;
    }
    WindowObject* window = window_record(id);
    if (!window) {
        return;
    }
    HWND hwnd = window->hwnd;
    event_callbacks_remove_window(id);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner) {
        SetActiveWindow(owner);
    }
    // The teardown on WM_NCDESTROY frees the record: look nothing up after
    // a successful DestroyWindow (a dynamic id's record is gone then).
    DestroyWindow(hwnd);
    if (IsWindow(hwnd)) {
        registry_release(g_windows, id);
    }
    events_purge_window(id);
    // The class cannot go while its window still exists during WM_NCDESTROY
    // (Wine answers ERROR_CLASS_HAS_WINDOWS), so it is unregistered here.
    wchar_t name[48];
    window_class_name(id, name, 48);
    UnregisterClassW(name, g_runtime.instance);
}

void window_library_start() {
    g_windows = registry_create_kind(sizeof(WindowObject), 16, release_window);
    g_program_icon = LoadIconW(g_runtime.instance, MAKEINTRESOURCEW(1));
    g_arrow_cursor = LoadCursorW(nullptr, IDC_ARROW);
}

void window_library_end() {
    window_close(ANY_ID);
    if (g_program_icon) {
        DestroyIcon(g_program_icon);
        g_program_icon = nullptr;
    }
}
