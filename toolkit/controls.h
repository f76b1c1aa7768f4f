// Operations the program calls on any control, and the creation calls of
// every control kind.
#pragma once
#include <windows.h>
#include <stdint.h>

int64_t control_hide(int64_t id, int32_t hide);
int64_t control_disable(int64_t id, int32_t disable);
int64_t control_set_text(int64_t id, const wchar_t* text);
void control_get_text(int64_t id, int64_t out);
int64_t control_set_state(int64_t id, int64_t state);
int64_t control_get_state(int64_t id);
int64_t control_get_attribute(int64_t id, int64_t attribute);
int64_t control_set_attribute(int64_t id, int64_t attribute, int64_t value);
int64_t control_set_color(int64_t id, int32_t which, int64_t color);
int64_t control_get_color(int64_t id, int32_t which);
HWND control_handle(int64_t id);
// What screen readers call the control (in the page's language); null or
// empty: its own text, as the system names it.
void control_set_name(int64_t id, const wchar_t* name);
void control_list_close();
HWND control_list_use(HWND window);
int64_t control_list_open(int64_t id);

// Creation flags, each kind's own. The native styles behind them are the
// kinds' business (a constant in each kind's file).
enum : uint32_t {
    CONTAINER_BORDER = 0x1,              // a thin line
    CONTAINER_DIALOG_FRAME = 0x2,        // a dialog frame
    CONTAINER_STATIC_EDGE = 0x4,         // a sunken line
    CONTAINER_CLIENT_EDGE = 0x8,         // a sunken edge
};
enum : uint32_t { LABEL_CLIENT_EDGE = 0x20000 };          // a sunken edge
enum : uint32_t { TEXT_FIELD_BORDERLESS = 0x20000 };      // no sunken edge
// Also the attribute numbers of a text view (control_get_attribute).
enum : uint32_t {
    TEXT_VIEW_READ_ONLY = 0x800,
    TEXT_VIEW_WORD_WRAP = 0x10000000,
};
enum : uint32_t {
    TREE_FOLDERS_ONLY = 0x1,             // no files
    TREE_NO_NOT_READY_DIALOG = 0x10,     // an empty drive says nothing
    TREE_SORTED = 0x40,
    TREE_NO_DOCUMENTS = 0x200,           // no documents item above the computer
    TREE_NO_BORDER = 0x100000,
    TREE_SHOW_SELECTION_ALWAYS = 0x1000000,
    TREE_NO_LINES = 0x4000000,
    TREE_NO_BUTTONS = 0x8000000,
};

int64_t container_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                         uint32_t flags = 0);
int64_t button_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                      const wchar_t* text, uint32_t flags = 0);
int64_t option_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                      const wchar_t* text);
int64_t label_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                     const wchar_t* text, uint32_t flags = 0);
int64_t text_field_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                          const wchar_t* text, uint32_t flags = 0);
int64_t text_view_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                         uint32_t flags = 0);
// Starts reading the folder tree's shell state (system image list, documents
// and computer) on a worker thread, so that the first folder_tree_create only
// waits for it; call early, before other start-up work. Optional.
void folder_tree_prefetch();
int64_t folder_tree_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                           const wchar_t* path, uint32_t flags = 0);
