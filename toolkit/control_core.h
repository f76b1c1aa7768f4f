// What every control kind shares: the control record, the operation table
// that the general control operations dispatch through, the common creation
// path, posting of control events, the per-thread current control list and
// the shared brush cache. Internal to the toolkit.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/registry.h"
#include "toolkit/events.h"

// Kind numbers; also the way to find all controls of one kind in the registry.
enum : int32_t {
    KIND_BUTTON = 1,
    KIND_TEXT_FIELD = 2,
    KIND_LABEL = 3,
    KIND_OPTION = 5,
    KIND_CONTAINER = 11,
    KIND_RICH_TEXT = 22,
    KIND_FOLDER_TREE = 24,
};

struct GadgetOperations;

// One control: a native child window and its kind's table.
struct GadgetObject {
    HWND hwnd;
    const GadgetOperations* kind_ops;
    WNDPROC previous_proc;     // the procedure the common control procedure chains to
    int64_t kind_slot_1;       // meaning belongs to the kind (colours, brush, data, font)
    int64_t kind_slot_2;
    int64_t kind_slot_3;
    int64_t kind_slot_4;
    int32_t page_key;          // the key that presses this button on its page (dialog_keys.cpp)
    RECT layout;               // in 96-DPI units, in its parent (window_dpi.cpp scales it)
    wchar_t* accessible_name;  // what screen readers call it; null: its own text (owned)
};

// A message a window passes on to the control in its lParam (a control's
// own thread posts it, as the directory watch does); no system message has
// this number.
constexpr UINT MESSAGE_FORWARD = 13120;

// A `notify` answer that asks the window procedure for its default
// processing (for WM_COMMAND: post EVENT_GADGET with subtype HIWORD(wParam)).
constexpr LRESULT CONTROL_DEFAULT_RESULT = INT64_MIN;

// The operation table of a kind. A null entry means the general behaviour
// of the control operations. Exactly 320 bytes.
struct GadgetOperations {
    int32_t kind;
    int32_t table_size;    // always 320
    // Answers a message the parent forwards (WM_COMMAND, WM_NOTIFY, scroll and
    // colour messages, MESSAGE_FORWARD); CONTROL_DEFAULT_RESULT for default processing.
    LRESULT (*notify)(GadgetObject* gadget, HWND parent, UINT message, WPARAM wparam,
                      LPARAM lparam);
    void (*release)(GadgetObject* gadget);          // kind clean-up at WM_NCDESTROY
    int64_t (*get_state)(GadgetObject* gadget);
    int64_t (*set_state)(GadgetObject* gadget, int64_t state);
    void (*get_text)(GadgetObject* gadget, int64_t out);   // string calling protocol
    int64_t (*set_text)(GadgetObject* gadget, const wchar_t* text);  // never null text
    int64_t (*add_item)(GadgetObject* gadget, int64_t position, const wchar_t* text,
                        int64_t image, int64_t flags);
    int64_t (*remove_item)(GadgetObject* gadget, int64_t item);
    int64_t (*clear_items)(GadgetObject* gadget);
    int64_t (*count_items)(GadgetObject* gadget);
    void (*get_item_text)(GadgetObject* gadget, int64_t item, int64_t out);
    int64_t (*set_item_text)(GadgetObject* gadget, int64_t item, const wchar_t* text);
    int64_t (*open_list)(GadgetObject* gadget, int64_t item);
    int64_t (*hide)(GadgetObject* gadget, int32_t hide);
    int64_t (*get_attribute)(GadgetObject* gadget, int64_t attribute);
    int64_t (*set_attribute)(GadgetObject* gadget, int64_t attribute, int64_t value);
    int64_t (*set_color)(GadgetObject* gadget, int32_t which, int64_t color);
    int64_t (*get_color)(GadgetObject* gadget, int32_t which);
    void (*required_size)(GadgetObject* gadget, int32_t* width, int32_t* height);
    HFONT (*get_font)(GadgetObject* gadget);
    int64_t (*set_font)(GadgetObject* gadget, HFONT font);
    void* unused[18];      // positions for operations no kind of this program fills
};
static_assert(sizeof(GadgetOperations) == 320, "operation table is 320 bytes");

// The control registry (walk it with registry_iterate_start/next).
ObjectTable* control_registry();
// The live record of a control id, or null.
GadgetObject* control_record(int64_t id);
// The record of a toolkit control's native handle, or null.
GadgetObject* control_record_from_handle(HWND hwnd);
// Allocates the record under `id` (ANY_ID: the registry picks); call only after
// the native control exists. Null on failure.
GadgetObject* control_record_allocate(int64_t id);

// Native creation shared by the kinds: creates the native control in the
// current parent with child id -1, then allocates its record under `id` and
// fills its hwnd. On failure nothing is left behind (the window is destroyed
// again) and the answer is null. The kind's own steps (its kind procedure,
// its slots) come next, then control_create_common.
GadgetObject* control_create_native(int64_t id, DWORD ex_style, const wchar_t* class_name,
                                    const wchar_t* text, DWORD style, int32_t x, int32_t y,
                                    int32_t width, int32_t height);

// Common creation path: fills `gadget`, installs the common control procedure
// (subclass the control with a kind procedure before this), sets GWLP_ID and
// "TK_ID", the current font, ends an open option group. Returns the id for
// ANY_ID, else the native handle.
int64_t control_create_common(GadgetObject* gadget, int64_t id, HWND hwnd,
                              const GadgetOperations* ops);

// Post EVENT_GADGET for the control `hwnd` (nothing when its GWLP_ID is -1);
// the window is the nearest ancestor with "TK_WindowID".
void control_post(HWND hwnd, int64_t subtype);
void control_post_forced(HWND hwnd, int64_t subtype);    // post_flags 1

// Offers a message that a window received to the control `sender` (forwarding).
// CONTROL_DEFAULT_RESULT when the control is not a toolkit control or its kind
// has no `notify`.
LRESULT control_forward(HWND sender, HWND parent, UINT message, WPARAM wparam,
                        LPARAM lparam);

// The calling thread's current control list.
HWND control_current_parent();
HFONT control_current_font();
int32_t control_option_group_open();
void control_set_option_group_open(int32_t open);
// Pushes the current parent and makes `container` the current parent.
void control_list_push(HWND container);

// WM_GETOBJECT of a control given a name (accessible_name.cpp): the
// standard accessible object named so; 0 to let the control answer.
LRESULT accessible_answer(GadgetObject* gadget, WPARAM wparam, LPARAM lparam);
// Frees the control's name, at its teardown.
void accessible_forget(GadgetObject* gadget);

// Shared brush cache: a solid brush per colour, reference counted, locked.
HBRUSH brush_cache_take(uint32_t rgb);
void brush_cache_release(HBRUSH brush);     // null is ignored
