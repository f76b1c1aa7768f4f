// Folder tree notifications and the device-change hook on the top-level
// window that keeps the drive items of every tree up to date.
#include "toolkit/folder_tree/folder_tree.h"
#include <dbt.h>

static void select_drop_highlight(HWND tree) {
    LRESULT item = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0);
    if (item) {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, item);
    }
}

static void on_expanding(GadgetObject* gadget, const NMTREEVIEWW* view) {
    HTREEITEM item = view->itemNew.hItem;
    if (view->action & TVE_EXPAND &&
        (folder_tree_item_parameter(gadget->hwnd, item) & TREE_FILLED_MARK) == 0) {
        folder_tree_fill(gadget, item);
    }
}

// Wine's tree reports NM_CLICK before it moves the selection to the clicked
// item; selecting the item here first gives the order of Windows, where the
// selection changes while the button goes down: GADGET_CHANGED, then the click.
static void select_clicked_item(HWND tree) {
    TVHITTESTINFO hit = {};
    DWORD position = GetMessagePos();
    hit.pt.x = static_cast<short>(LOWORD(position));
    hit.pt.y = static_cast<short>(HIWORD(position));
    ScreenToClient(tree, &hit.pt);
    SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem && (hit.flags & TVHT_ONITEM)) {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hit.hItem));
    }
}

// Posts the subtype of a tree notification; expansion fills and posts nothing.
static void on_tree_notification(GadgetObject* gadget, const NMHDR* header) {
    const NMTREEVIEWW* view = reinterpret_cast<const NMTREEVIEWW*>(header);
    switch (header->code) {
    case NM_CLICK:
        select_clicked_item(gadget->hwnd);
        control_post(gadget->hwnd, 0);
        break;
    case NM_RCLICK:
        select_drop_highlight(gadget->hwnd);
        control_post(gadget->hwnd, 1);
        break;
    case NM_DBLCLK: control_post(gadget->hwnd, 2); break;
    case NM_RDBLCLK: control_post(gadget->hwnd, 3); break;
    case TVN_SELCHANGEDW: control_post(gadget->hwnd, GADGET_CHANGED); break;
    case TVN_BEGINDRAGW:
        SendMessageW(gadget->hwnd, TVM_SELECTITEM, TVGN_CARET,
                     reinterpret_cast<LPARAM>(view->itemNew.hItem));
        control_post(gadget->hwnd, GADGET_DRAG_STARTED);
        break;
    case TVN_ITEMEXPANDINGW: on_expanding(gadget, view); break;
    default: break;
    }
}

LRESULT folder_tree_notify(GadgetObject* gadget, HWND, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_NOTIFY && folder_tree_data(gadget)) {
        on_tree_notification(gadget, reinterpret_cast<const NMHDR*>(lparam));
    }
    return CONTROL_DEFAULT_RESULT;
}

static void on_arrival(FolderTreeData* data, DWORD units) {
    HWND tree = data->tree;
    if (data->not_ready_dialog && (units & (1u << data->not_ready_drive))) {
        folder_tree_close_not_ready(data);
    }
    DWORD present = GetLogicalDrives();
    DWORD listed = 0;
    for (HTREEITEM item = folder_tree_first_child(tree, data->root_item); item;
         item = folder_tree_next_sibling(tree, item)) {
        int32_t kind = static_cast<int32_t>(folder_tree_item_parameter(tree, item) & 0xFF);
        if (kind >= 32) {
            continue;
        }
        listed |= 1u << kind;
        if (units & (1u << kind)) {
            folder_tree_refresh_drive(tree, item, kind);
        }
    }
    for (int32_t drive = 0; drive < 32; drive++) {
        if ((present & ~listed) & (1u << drive)) {
            folder_tree_insert_drive(tree, data->root_item, drive);
        }
    }
}

static void on_removal(FolderTreeData* data, DWORD units) {
    HWND tree = data->tree;
    DWORD present = GetLogicalDrives();
    HTREEITEM item = folder_tree_first_child(tree, data->root_item);
    while (item) {
        HTREEITEM next = folder_tree_next_sibling(tree, item);
        int32_t kind = static_cast<int32_t>(folder_tree_item_parameter(tree, item) & 0xFF);
        if (kind < 32 && !(present & (1u << kind))) {
            SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
        } else if (kind < 32 && (units & (1u << kind))) {
            SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET,
                         reinterpret_cast<LPARAM>(item));
            folder_tree_refresh_drive(tree, item, kind);
        }
        item = next;
    }
}

static void on_device_change(WPARAM event, const DEV_BROADCAST_HDR* header) {
    if (!header || header->dbch_devicetype != DBT_DEVTYP_VOLUME ||
        (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)) {
        return;
    }
    DWORD units = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header)->dbcv_unitmask;
    ObjectTable* controls = control_registry();
    registry_iterate_start(controls);
    int64_t id = 0;
    while (GadgetObject* gadget = static_cast<GadgetObject*>(registry_iterate_next(controls, &id))) {
        FolderTreeData* data = gadget->kind_ops && gadget->kind_ops->kind == KIND_FOLDER_TREE
            ? folder_tree_data(gadget)
            : nullptr;
        // A tree that has not filled itself yet reads the drives when it does.
        if (data && !data->filled) {
            data = nullptr;
        }
        if (data && event == DBT_DEVICEARRIVAL) {
            on_arrival(data, units);
        } else if (data) {
            on_removal(data, units);
        }
    }
}

static LRESULT CALLBACK hook_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    WNDPROC previous = g_folder_tree.hooked_previous;
    if (message == WM_DESTROY && hwnd == g_folder_tree.hooked_window) {
        g_folder_tree.hooked_window = nullptr;
    } else if (message == WM_DEVICECHANGE) {
        on_device_change(wparam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam));
    }
    return previous ? CallWindowProcW(previous, hwnd, message, wparam, lparam)
                    : DefWindowProcW(hwnd, message, wparam, lparam);
}

void folder_tree_hook_top_level(HWND child) {
    HWND top = child ? GetAncestor(child, GA_ROOT) : nullptr;
    if (!top) {
        return;
    }
    g_folder_tree.hooked_window = top;
    g_folder_tree.hooked_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook_procedure)));
}
