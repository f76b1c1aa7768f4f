// Folder tree control (kind 24): shared set-up, creation, release, state,
// text and colours.
#include "toolkit/folder_tree/folder_tree.h"
#include <shellapi.h>
#include <shlobj.h>
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/system_module.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

FolderTreeShared g_folder_tree;

static GadgetOperations g_folder_tree_ops;

FolderTreeData* folder_tree_data(GadgetObject* gadget) {
    return reinterpret_cast<FolderTreeData*>(gadget->kind_slot_1);
}

static void complete_table();

// The first fill in the process; 0 when the system image list is missing
// (the tree then stays empty, and its next fill tries again).
static int set_up_shared() {
    if (g_folder_tree.ready) {
        return 1;
    }
    CoInitialize(nullptr);
    folder_tree_icons_start();
    folder_tree_watch_start();
    if (!folder_tree_shell_state()) {
        return 0;
    }
    g_folder_tree.shell32 = system_module_load(L"shell32.dll");
    g_folder_tree.ready = 1;
    return 1;
}

// The flags add buttons, lines and the selection shown without the focus.
static constexpr DWORD TREE_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

static GadgetObject* create_native(int64_t id, int32_t x, int32_t y, int32_t width,
                                   int32_t height, uint32_t flags) {
    DWORD style = TREE_STYLE;
    style |= (flags & TREE_NO_BUTTONS) ? 0 : TVS_HASBUTTONS;
    style |= (flags & TREE_NO_LINES) ? 0 : TVS_HASLINES;
    style |= (flags & TREE_SHOW_SELECTION_ALWAYS) ? TVS_SHOWSELALWAYS : 0;
    DWORD ex_style = (flags & TREE_NO_BORDER) ? 0 : WS_EX_CLIENTEDGE;
    return control_create_native(id, ex_style, WC_TREEVIEWW, L"", style, x, y, width, height);
}

static void fill_record(GadgetObject* gadget, FolderTreeData* data, uint32_t flags) {
    gadget->kind_slot_2 = -1;
    gadget->kind_slot_1 = reinterpret_cast<int64_t>(data);
    data->tree = gadget->hwnd;
    data->tree_flags = static_cast<int32_t>(flags);
    lstrcpynW(data->pattern, L"*.*", TREE_PATTERN_UNITS);
}

// A tree fills itself (shell set-up, image list, drives, the walk to its
// folder) only when it is first shown, painted or asked for its text or
// state: the shell's system image list alone costs more under Wine than the
// rest of a window's start, and the installer's tree stays hidden until its
// last page. Texts set before that are kept and applied in order.
static WNDPROC g_native_tree_proc;

static LRESULT CALLBACK folder_tree_fill_proc(HWND hwnd, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
    bool shown = message == WM_SHOWWINDOW && wparam != 0;
    if (shown || message == WM_PAINT) {
        GadgetObject* gadget = control_record_from_handle(hwnd);
        if (gadget) {
            folder_tree_fill(gadget);
        }
    }
    return CallWindowProcW(g_native_tree_proc, hwnd, message, wparam, lparam);
}

// Keeps `text` for the fill; false when there is no room, so the caller
// fills the tree now instead.
static bool keep_pending(FolderTreeData* data, const wchar_t* text) {
    if (data->pending_count >= TREE_PENDING_TEXTS || lstrlenW(text) >= TREE_PATTERN_UNITS) {
        return false;
    }
    lstrcpynW(data->pending[data->pending_count], text, TREE_PATTERN_UNITS);
    data->pending_count++;
    return true;
}

int32_t folder_tree_fill(GadgetObject* gadget) {
    FolderTreeData* data = folder_tree_data(gadget);
    if (!data || data->filled) {
        return data != nullptr;
    }
    if (!set_up_shared()) {
        return 0;
    }
    data->filled = 1;
    SendMessageW(data->tree, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(g_folder_tree.system_images));
    // Filling the tree by program reports nothing, as control_set_text does.
    // The tree starts empty and rebuilt; a first text that rebuilds by itself
    // makes that first rebuild redundant, and the result is the same.
    events_suppress();
    if (data->pending_count == 0 || !folder_tree_text_rebuilds(data->pending[0])) {
        folder_tree_set_text(gadget, L"");
    }
    for (int32_t i = 0; i < data->pending_count; i++) {
        folder_tree_set_text(gadget, data->pending[i]);
    }
    data->pending_count = 0;
    events_resume();
    return 1;
}

static int64_t folder_tree_set_text_op(GadgetObject* gadget, const wchar_t* text) {
    FolderTreeData* data = folder_tree_data(gadget);
    if (!data->filled && keep_pending(data, text)) {
        return 1;
    }
    folder_tree_fill(gadget);
    return folder_tree_set_text(gadget, text);
}

int64_t folder_tree_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                           const wchar_t* path, uint32_t flags) {
    complete_table();
    if (!g_folder_tree.hooked_window) {
        folder_tree_hook_top_level(control_current_parent());
    }
    FolderTreeData* data = static_cast<FolderTreeData*>(heap_alloc(sizeof(FolderTreeData)));
    GadgetObject* gadget = data ? create_native(id, x, y, width, height, flags) : nullptr;
    if (!gadget) {
        heap_free(data);
        return 0;
    }
    fill_record(gadget, data, flags);
    HWND tree = gadget->hwnd;
    SendMessageW(tree, TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
    g_native_tree_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(folder_tree_fill_proc)));
    int64_t result = control_create_common(gadget, id, tree, &g_folder_tree_ops);
    keep_pending(data, path ? path : L"");
    return result;
}

static void folder_tree_release(GadgetObject* gadget) {
    FolderTreeData* data = folder_tree_data(gadget);
    if (!data) {
        return;
    }
    folder_tree_close_not_ready(data);
    // The native tree has torn itself down by now; detaching still makes sure
    // it can never take the shared system list with it.
    SendMessageW(data->tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ImageList_Destroy(reinterpret_cast<HIMAGELIST>(gadget->kind_slot_4));
    gadget->kind_slot_4 = 0;
    heap_free(data);
    gadget->kind_slot_1 = 0;
}

static HTREEITEM selected_item(HWND tree) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

static int64_t folder_tree_get_state(GadgetObject* gadget) {
    folder_tree_fill(gadget);
    HWND tree = gadget->hwnd;
    HTREEITEM item = selected_item(tree);
    if (!item) {
        return 0;
    }
    LPARAM parameter = folder_tree_item_parameter(tree, item);
    if (parameter == 0) {
        return 0;
    }
    return (parameter & 0xFF) == TREE_ITEM_FILE ? 1 : 2;
}

static void folder_tree_get_text(GadgetObject* gadget, int64_t out) {
    folder_tree_fill(gadget);
    wchar_t path[TREE_PATH_UNITS];
    path[0] = 0;
    HTREEITEM item = selected_item(gadget->hwnd);
    if (!item || !folder_tree_item_path(gadget->hwnd, item, path, TREE_PATH_UNITS)) {
        path[0] = 0;
    }
    path[MAX_PATH] = 0;    // at most 260 units
    int64_t length = static_cast<int64_t>(wcslen(path));
    wchar_t* text = temp_reserve_units(length, out);
    memcpy(text, path, static_cast<size_t>(length + 1) * sizeof(wchar_t));
}

static int64_t folder_tree_set_color(GadgetObject* gadget, int32_t which, int64_t color) {
    folder_tree_fill(gadget);
    HWND tree = gadget->hwnd;
    COLORREF value = color == -1 ? CLR_DEFAULT : static_cast<COLORREF>(color & 0xFFFFFF);
    if (which == 1) {
        SendMessageW(tree, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(value));
    } else if (which == 2) {
        SendMessageW(tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(value));
        gadget->kind_slot_2 = color;
        folder_tree_refresh_images(gadget);
    } else if (which == 3) {
        SendMessageW(tree, TVM_SETLINECOLOR, 0, static_cast<LPARAM>(value));
    } else {
        return 0;
    }
    InvalidateRect(tree, nullptr, TRUE);
    return 1;
}

static int64_t folder_tree_get_color(GadgetObject* gadget, int32_t which) {
    if (which == 1) {
        return static_cast<int64_t>(SendMessageW(gadget->hwnd, TVM_GETTEXTCOLOR, 0, 0));
    }
    if (which == 2) {
        return gadget->kind_slot_2;
    }
    if (which == 3) {
        COLORREF line = static_cast<COLORREF>(SendMessageW(gadget->hwnd, TVM_GETLINECOLOR, 0, 0));
        return line == CLR_DEFAULT ? -1 : static_cast<int64_t>(line);
    }
    return -1;
}

static void complete_table() {
    GadgetOperations* ops = &g_folder_tree_ops;
    ops->kind = KIND_FOLDER_TREE;                        // 24
    ops->table_size = sizeof(GadgetOperations);          // 320
    ops->notify = folder_tree_notify;                    // clicks, selection, expansion
    ops->release = folder_tree_release;                  // dialog, image list, kind data
    ops->get_state = folder_tree_get_state;              // 1 file, 2 other, 0 none
    ops->set_state = nullptr;                            // no state to set
    ops->get_text = folder_tree_get_text;                // path of the selection
    ops->set_text = folder_tree_set_text_op;             // open down to a path (kept until filled)
    ops->add_item = nullptr;                             // items come from the disk
    ops->remove_item = nullptr;
    ops->clear_items = nullptr;
    ops->count_items = nullptr;
    ops->get_item_text = nullptr;
    ops->set_item_text = nullptr;
    ops->open_list = nullptr;                            // not a container
    ops->hide = nullptr;                                 // general show/hide
    ops->get_attribute = nullptr;
    ops->set_attribute = nullptr;
    ops->set_color = folder_tree_set_color;              // 1 text, 2 background, 3 lines
    ops->get_color = folder_tree_get_color;
    ops->required_size = nullptr;
    ops->get_font = nullptr;
    ops->set_font = nullptr;
}
