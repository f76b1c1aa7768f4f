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
    HBITMAP scaled_background; // the picture at the window's scale (owned); null at 1.0
    int32_t scale;             // of the layout (window_scale.h); SCALE_ONE before opening
    int32_t layout_width;      // the client size in 96-DPI units
    int32_t layout_height;
    HFONT font;                // the controls' font at this scale (window_scale.h)
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
// Scales the window just made (window_dpi.cpp): its client size from the
// layout units, the font of its controls.
void window_scale_opened(WindowObject* window, int32_t width, int32_t height);
// WM_DPICHANGED: the window, its controls, their font and the picture at
// the new monitor's DPI, placed at `suggested`'s top-left.
LRESULT window_scale_dpi_changed(WindowObject* window, int32_t dpi, const RECT* suggested);
// The pixels of a control's layout rectangle in the window that holds
// `parent`, and the font its controls get there (the current list's font
// outside toolkit windows).
RECT window_scale_control(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height);
HFONT window_scale_font(HWND parent);
// Makes the picture at the window's scale again (window_background.cpp).
void window_background_rescale(WindowObject* window);
// Gives back what the window's scale holds: font and scaled picture.
void window_scale_release(WindowObject* window);
// "WindowClass_%I64d" of a window id.
void window_class_name(int64_t id, wchar_t* name, size_t count);
