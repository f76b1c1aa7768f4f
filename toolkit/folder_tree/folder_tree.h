// Folder tree control (kind 24): what its files share.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stdint.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"

// Item kinds: the low byte of the item parameter. Drives use their index 0 to 31.
enum : int32_t {
    TREE_ITEM_COMPUTER = 0xFB,
    TREE_ITEM_FOLDER = 252,
    TREE_ITEM_DOCUMENTS = 253,
    TREE_ITEM_FILE = 255,
};
constexpr LPARAM TREE_COMPUTER_PARAMETER = 0xFFFB;
constexpr LPARAM TREE_FILLED_MARK = 0xFF00;     // bits 8 to 15: children filled

constexpr int32_t TREE_PATTERN_UNITS = 260;
constexpr int32_t TREE_PATH_UNITS = 1024;       // working room for item paths

// Texts set on a tree before it was first needed, applied in order when it
// fills itself.
constexpr int32_t TREE_PENDING_TEXTS = 4;

// Kind data of one tree, pointed to by kind_slot_1.
struct FolderTreeData {
    HWND tree;
    int32_t tree_flags;
    wchar_t pattern[TREE_PATTERN_UNITS];
    HTREEITEM root_item;
    HWND not_ready_dialog;
    int32_t not_ready_drive;
    HICON not_ready_icon;
    int32_t filled;             // 1 once the tree has its image list and items
    int32_t pending_count;
    wchar_t pending[TREE_PENDING_TEXTS][TREE_PATTERN_UNITS];
};

// kind_slot_2: background colour (-1 default); kind_slot_3: image count of the
// system list when the private copy was made; kind_slot_4: that private copy.

// Process-wide state, set up by the first tree.
struct FolderTreeShared {
    int32_t ready;
    HIMAGELIST system_images;
    int32_t folder_icon;
    wchar_t computer_name[MAX_PATH];
    int32_t computer_icon;
    wchar_t documents_name[MAX_PATH];
    int32_t documents_icon;
    wchar_t documents_path[MAX_PATH + 1];
    int32_t documents_available;
    HMODULE shell32;
    HWND hooked_window;            // top-level window with the device-change hook
    WNDPROC hooked_previous;
};

extern FolderTreeShared g_folder_tree;

FolderTreeData* folder_tree_data(GadgetObject* gadget);
// Makes the tree fill itself if it has not yet: the shell set-up, the image
// list and the texts set so far. 0 when the shell set-up failed.
int32_t folder_tree_fill(GadgetObject* gadget);

// Items (folder_tree_items.cpp).
LPARAM folder_tree_item_parameter(HWND tree, HTREEITEM item);
void folder_tree_set_item_parameter(HWND tree, HTREEITEM item, LPARAM parameter);
// The item's path by the path rule; 0 when it does not fit `count` units.
int32_t folder_tree_item_path(HWND tree, HTREEITEM item, wchar_t* path, int32_t count);
// The first child of `item` and the next sibling of `item`; null when none.
HTREEITEM folder_tree_first_child(HWND tree, HTREEITEM item);
HTREEITEM folder_tree_next_sibling(HWND tree, HTREEITEM item);
HTREEITEM folder_tree_insert(HWND tree, HTREEITEM parent, HTREEITEM after, const wchar_t* text,
                             int32_t icon, LPARAM parameter, int32_t has_children);
// Text, icon and has-children flag of a drive item; clears its filled mark.
void folder_tree_refresh_drive(HWND tree, HTREEITEM item, int32_t drive);
HTREEITEM folder_tree_insert_drive(HWND tree, HTREEITEM computer, int32_t drive);
void folder_tree_rebuild(GadgetObject* gadget);
int64_t folder_tree_set_text(GadgetObject* gadget, const wchar_t* text);
// Whether set_text of `text` rebuilds the tree: all but a folder path
// ending with "\".
int32_t folder_tree_text_rebuilds(const wchar_t* text);
// Cuts the next non-empty piece off `*cursor` at `separator` (writing a 0
// over the separator); null at the end.
wchar_t* folder_tree_next_piece(wchar_t** cursor, wchar_t separator);
void folder_tree_refresh_images(GadgetObject* gadget);

// Filling an item's children (folder_tree_expand.cpp).
void folder_tree_fill(GadgetObject* gadget, HTREEITEM item);

// Shell state: image list, folder icon, documents and computer
// (folder_tree_shell.cpp). Waits for a prefetch started by
// folder_tree_prefetch, else reads it here; 0 without the system image list.
int32_t folder_tree_shell_state();

// Extension icon cache (folder_tree_icons.cpp).
void folder_tree_icons_start();
void folder_tree_icons_lock();
void folder_tree_icons_unlock();
int32_t folder_tree_file_icon(const wchar_t* path, const wchar_t* name);

// Notifications and the device-change hook (folder_tree_notify.cpp).
LRESULT folder_tree_notify(GadgetObject* gadget, HWND parent, UINT message, WPARAM wparam,
                           LPARAM lparam);
void folder_tree_hook_top_level(HWND child);

// Drive-not-ready dialog (folder_tree_dialog.cpp).
void folder_tree_open_not_ready(FolderTreeData* data, int32_t drive);
void folder_tree_close_not_ready(FolderTreeData* data);

// Directory-watch thread (folder_tree_watch.cpp). Start is idempotent; end
// stops the thread and is called once by the control library's end step.
int32_t folder_tree_watch_start();
int32_t folder_tree_watch_add(HWND control, HANDLE change);
int32_t folder_tree_watch_remove(HWND control);
void folder_tree_services_end();
// For tests: whether the watch thread is running.
int32_t folder_tree_watch_running();
