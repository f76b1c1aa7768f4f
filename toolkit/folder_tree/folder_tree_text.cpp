// Folder tree set_text: splits the text into a target folder and a file
// pattern, rebuilds when needed and walks down to the target, expanding each
// level and selecting the last one.
#include "toolkit/folder_tree/folder_tree.h"
#include <wchar.h>

struct TreeTarget {
    wchar_t path[TREE_PATH_UNITS];    // empty: no target
    int32_t rebuild;
};

static void set_pattern(FolderTreeData* data, const wchar_t* pattern) {
    lstrcpynW(data->pattern, pattern, TREE_PATTERN_UNITS);
}

// Copies `units` units of `text` as the target; a lower-case drive letter
// becomes upper case. Too long a text gives no target.
static void take_target(TreeTarget* target, const wchar_t* text, size_t units) {
    target->path[0] = 0;
    if (units >= TREE_PATH_UNITS) {
        return;
    }
    memcpy(target->path, text, units * sizeof(wchar_t));
    target->path[units] = 0;
    if (target->path[0] >= L'a' && target->path[0] <= L'z') {
        target->path[0] = static_cast<wchar_t>(target->path[0] - 32);
    }
}

static void split_text(GadgetObject* gadget, const wchar_t* text, TreeTarget* target) {
    FolderTreeData* data = folder_tree_data(gadget);
    size_t length = wcslen(text);
    const wchar_t* last_slash = wcsrchr(text, L'\\');
    target->path[0] = 0;
    target->rebuild = 1;
    if (length == 0 || (length == 1 && text[0] == L'\\')) {
        return;
    }
    if (!last_slash) {
        set_pattern(data, text);
        HTREEITEM selected = reinterpret_cast<HTREEITEM>(
            SendMessageW(data->tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (!selected || !folder_tree_item_path(data->tree, selected, target->path,
                                                TREE_PATH_UNITS)) {
            target->path[0] = 0;
        }
        return;
    }
    size_t folder_units = static_cast<size_t>(last_slash - text) + 1;
    take_target(target, text, folder_units);
    if (folder_units == length) {
        target->rebuild = 0;
        return;
    }
    set_pattern(data, last_slash + 1);
}

wchar_t* folder_tree_next_piece(wchar_t** cursor, wchar_t separator) {
    wchar_t* start = *cursor;
    while (*start == separator) {
        start++;
    }
    if (!*start) {
        return nullptr;
    }
    wchar_t* end = start;
    while (*end && *end != separator) {
        end++;
    }
    *cursor = *end ? end + 1 : end;
    *end = 0;
    return start;
}

static HTREEITEM find_drive(HWND tree, HTREEITEM computer, int32_t drive) {
    for (HTREEITEM item = folder_tree_first_child(tree, computer); item;
         item = folder_tree_next_sibling(tree, item)) {
        if ((folder_tree_item_parameter(tree, item) & 0xFF) == drive) {
            return item;
        }
    }
    return nullptr;
}

static HTREEITEM find_folder(HWND tree, HTREEITEM parent, const wchar_t* name) {
    wchar_t text[MAX_PATH];
    for (HTREEITEM item = folder_tree_first_child(tree, parent); item;
         item = folder_tree_next_sibling(tree, item)) {
        TVITEMW query = {};
        query.mask = TVIF_TEXT | TVIF_PARAM | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = MAX_PATH;
        text[0] = 0;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        if ((query.lParam & 0xFF) == TREE_ITEM_FOLDER && lstrcmpiW(text, name) == 0) {
            return item;
        }
    }
    return nullptr;
}

static void expand_item(GadgetObject* gadget, HTREEITEM item) {
    HWND tree = gadget->hwnd;
    if ((folder_tree_item_parameter(tree, item) & TREE_FILLED_MARK) == 0) {
        folder_tree_fill(gadget, item);
    }
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

// Walks from the drive down the folder names of `path` (which starts with
// "X:\"); selects the last item only when every level was found.
static void walk_to(GadgetObject* gadget, wchar_t* path) {
    HWND tree = gadget->hwnd;
    int32_t drive = path[0] - L'A';
    HTREEITEM computer = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    HTREEITEM item = computer ? find_drive(tree, computer, drive) : nullptr;
    if (!item) {
        return;
    }
    expand_item(gadget, item);
    wchar_t* cursor = path + 3;
    for (wchar_t* name = folder_tree_next_piece(&cursor, L'\\'); name;
         name = folder_tree_next_piece(&cursor, L'\\')) {
        item = find_folder(tree, item, name);
        if (!item) {
            return;
        }
        expand_item(gadget, item);
    }
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

static int has_drive(const wchar_t* path) {
    return path[0] >= L'A' && path[0] <= L'Z' && path[1] == L':' && path[2] == L'\\';
}

int32_t folder_tree_text_rebuilds(const wchar_t* text) {
    size_t length = wcslen(text);
    return length < 2 || text[length - 1] != L'\\';
}

int64_t folder_tree_set_text(GadgetObject* gadget, const wchar_t* text) {
    FolderTreeData* data = folder_tree_data(gadget);
    if (!data) {
        return 0;
    }
    folder_tree_close_not_ready(data);
    TreeTarget target;
    split_text(gadget, text ? text : L"", &target);
    if (target.rebuild) {
        folder_tree_rebuild(gadget);
    }
    if (has_drive(target.path)) {
        walk_to(gadget, target.path);
    }
    folder_tree_refresh_images(gadget);
    return 1;
}
