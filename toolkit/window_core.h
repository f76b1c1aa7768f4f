// Toolkit-internal parts of the window library: the window record, the one
// window procedure (containers pass their messages to it too) and lookups.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/registry.h"

struct WindowObject {
    HWND hwnd;
    ACCEL* accelerator_entries;
    HACCEL accelerator_table;
    int32_t accelerator_count;
    int32_t size_state;        // 1 while minimized or maximized
    int32_t events_enabled;    // 0 while the window is being created
    HBITMAP background;        // drawn behind the children; not owned
};

// Tab and Shift+Tab commands of every window's accelerator table.
enum : WORD { COMMAND_FOCUS_NEXT = 64001, COMMAND_FOCUS_PREVIOUS = 64002 };

ObjectTable* window_registry();
WindowObject* window_record(int64_t id);
// Walks from `hwnd` up the parent chain to the first window with
// "TK_WindowID"; returns it (null when none) and its id in `*id` (-1).
HWND window_find_toplevel(HWND hwnd, int64_t* id);
// The window ids beside the "TK_WindowID" property (see window_ids.cpp),
// read by window_id_from_handle: remembered where the property is set,
// forgotten where it is removed.
void window_ids_remember(HWND hwnd, int64_t id);
void window_ids_forget(HWND hwnd);
LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// The arrow keys in option groups, Enter and Escape of the active toolkit
// window (dialog_keys.cpp); true when the key was used up.
bool dialog_keys_translate(const MSG* message);
// Shows the keyboard cues of a window (WM_UPDATEUISTATE) unless shown.
void window_show_cues(HWND hwnd);
// Draws `picture` into the part of `dc` being erased (window_background.cpp);
// false without a picture.
bool window_background_paint(HBITMAP picture, HDC dc);
// "WindowClass_%I64d" of a window id.
void window_class_name(int64_t id, wchar_t* name, size_t count);
