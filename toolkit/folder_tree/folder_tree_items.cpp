// Folder tree items: parameters, paths, the rebuild of computer, drives and
// documents, and set_text, which opens the tree down to a path.
#include "toolkit/folder_tree/folder_tree.h"
#include <shellapi.h>
#include <wchar.h>

LPARAM folder_tree_item_parameter(HWND tree, HTREEITEM item) {
    TVITEMW query = {};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) {
        return 0;
    }
    return query.lParam;
}

void folder_tree_set_item_parameter(HWND tree, HTREEITEM item, LPARAM parameter) {
    TVITEMW change = {};
    change.mask = TVIF_PARAM | TVIF_HANDLE;
    change.hItem = item;
    change.lParam = parameter;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

static int item_text(HWND tree, HTREEITEM item, wchar_t* text, int32_t count) {
    TVITEMW query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = count;
    text[0] = 0;
    return SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) != 0;
}

static HTREEITEM next_item(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM folder_tree_first_child(HWND tree, HTREEITEM item) {
    return next_item(tree, item, TVGN_CHILD);
}

HTREEITEM folder_tree_next_sibling(HWND tree, HTREEITEM item) {
    return next_item(tree, item, TVGN_NEXT);
}

// Appends `part` to the path built so far; 0 when it would not fit.
static int append(wchar_t* path, int32_t count, int32_t* length, const wchar_t* part) {
    size_t units = wcslen(part);
    if (units >= static_cast<size_t>(count - *length)) {
        return 0;
    }
    memcpy(path + *length, part, (units + 1) * sizeof(wchar_t));
    *length += static_cast<int32_t>(units);
    return 1;
}

static int append_item(HWND tree, HTREEITEM item, wchar_t* path, int32_t count,
                       int32_t* length) {
    LPARAM kind = folder_tree_item_parameter(tree, item) & 0xFF;
    if (kind < 32) {
        wchar_t root[4] = {static_cast<wchar_t>(L'A' + kind), L':', L'\\', 0};
        return append(path, count, length, root);
    }
    if (kind == TREE_ITEM_DOCUMENTS) {
        return append(path, count, length, g_folder_tree.documents_path);
    }
    wchar_t name[MAX_PATH];
    item_text(tree, item, name, MAX_PATH);
    if (!append(path, count, length, name)) {
        return 0;
    }
    return kind == TREE_ITEM_FILE || append(path, count, length, L"\\");
}

int32_t folder_tree_item_path(HWND tree, HTREEITEM item, wchar_t* path, int32_t count) {
    HTREEITEM chain[128];
    int32_t depth = 0;
    while (item && (folder_tree_item_parameter(tree, item) & 0xFF) != TREE_ITEM_COMPUTER) {
        if (depth == 128) {
            return 0;
        }
        chain[depth++] = item;
        item = next_item(tree, item, TVGN_PARENT);
    }
    int32_t length = 0;
    path[0] = 0;
    for (int32_t i = depth - 1; i >= 0; i--) {
        if (!append_item(tree, chain[i], path, count, &length)) {
            path[0] = 0;
            return 0;
        }
    }
    return 1;
}

HTREEITEM folder_tree_insert(HWND tree, HTREEITEM parent, HTREEITEM after, const wchar_t* text,
                             int32_t icon, LPARAM parameter, int32_t has_children) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.iImage = icon;
    insert.item.iSelectedImage = icon;
    insert.item.lParam = parameter;
    insert.item.cChildren = has_children;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

static void drive_info(int32_t drive, SHFILEINFOW* info) {
    wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', 0};
    *info = {};
    UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (!SHGetFileInfoW(root, 0, info, sizeof(*info),
                        SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
        lstrcpynW(info->szDisplayName, root, MAX_PATH);
        info->iIcon = g_folder_tree.folder_icon;
    }
    SetErrorMode(old_mode);
}

HTREEITEM folder_tree_insert_drive(HWND tree, HTREEITEM computer, int32_t drive) {
    SHFILEINFOW info;
    drive_info(drive, &info);
    return folder_tree_insert(tree, computer, TVI_LAST, info.szDisplayName, info.iIcon, drive, 1);
}

void folder_tree_refresh_drive(HWND tree, HTREEITEM item, int32_t drive) {
    SHFILEINFOW info;
    drive_info(drive, &info);
    TVITEMW change = {};
    change.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM |
                  TVIF_CHILDREN;
    change.hItem = item;
    change.pszText = info.szDisplayName;
    change.iImage = info.iIcon;
    change.iSelectedImage = info.iIcon;
    change.lParam = drive;
    change.cChildren = 1;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

void folder_tree_rebuild(GadgetObject* gadget) {
    FolderTreeData* data = folder_tree_data(gadget);
    HWND tree = data->tree;
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    HTREEITEM computer = folder_tree_insert(tree, TVI_ROOT, TVI_LAST,
                                            g_folder_tree.computer_name,
                                            g_folder_tree.computer_icon,
                                            TREE_COMPUTER_PARAMETER, 1);
    data->root_item = computer;
    UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD drives = GetLogicalDrives();
    for (int32_t drive = 0; drive < 32; drive++) {
        if (drives & (1u << drive)) {
            folder_tree_insert_drive(tree, computer, drive);
        }
    }
    SetErrorMode(old_mode);
    if (g_folder_tree.documents_available && !(data->tree_flags & TREE_NO_DOCUMENTS)) {
        folder_tree_insert(tree, computer, TVI_LAST, g_folder_tree.documents_name,
                           g_folder_tree.documents_icon, TREE_ITEM_DOCUMENTS, 1);
    }
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(computer));
}

void folder_tree_refresh_images(GadgetObject* gadget) {
    HWND tree = gadget->hwnd;
    HIMAGELIST shared = g_folder_tree.system_images;
    HIMAGELIST private_copy = reinterpret_cast<HIMAGELIST>(gadget->kind_slot_4);
    if (gadget->kind_slot_2 == -1) {
        if (private_copy) {
            SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(shared));
            ImageList_Destroy(private_copy);
            gadget->kind_slot_4 = 0;
        }
        return;
    }
    int32_t count = ImageList_GetImageCount(shared);
    if (private_copy && gadget->kind_slot_3 == count) {
        return;
    }
    HIMAGELIST copy = ImageList_Duplicate(shared);
    if (!copy) {
        return;
    }
    ImageList_SetBkColor(copy, static_cast<COLORREF>(gadget->kind_slot_2 & 0xFFFFFF));
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(copy));
    ImageList_Destroy(private_copy);
    gadget->kind_slot_4 = reinterpret_cast<int64_t>(copy);
    gadget->kind_slot_3 = count;
}
