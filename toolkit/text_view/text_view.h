// Multi-line rich text control (kind 22): what its files share.
#pragma once
#include <windows.h>
#include <uxtheme.h>
#include <stdint.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"

// Line state in kind_slot_1, used when lines are appended.
enum : int64_t {
    TEXT_LINES_EMPTY = 0,           // the control holds no line
    TEXT_LINES_FIRST_PENDING = 1,   // an empty first line was asked for, not yet written
    TEXT_LINES_WRITTEN = 2,         // the first line exists in the control
};

typedef HTHEME (WINAPI* OpenThemeDataFunction)(HWND, LPCWSTR);
typedef HRESULT (WINAPI* CloseThemeDataFunction)(HTHEME);
typedef HRESULT (WINAPI* GetThemeBackgroundContentRectFunction)(HTHEME, HDC, int, int,
                                                                 LPCRECT, LPRECT);
typedef BOOL (WINAPI* IsThemeBackgroundPartiallyTransparentFunction)(HTHEME, int, int);
typedef HRESULT (WINAPI* DrawThemeParentBackgroundFunction)(HWND, HDC, const RECT*);
typedef HRESULT (WINAPI* DrawThemeBackgroundFunction)(HTHEME, HDC, int, int, LPCRECT,
                                                       LPCRECT);

// Process-wide state of the kind, set up by the first creation.
struct TextViewLibrary {
    int32_t styles_decided;
    int32_t visual_styles;          // version-6 controls and IsAppThemed
    int32_t table_ready;
    int32_t riched20;               // "RICHED20.DLL" was loaded
    HMODULE uxtheme;
    OpenThemeDataFunction open_theme;
    CloseThemeDataFunction close_theme;
    GetThemeBackgroundContentRectFunction content_rect;
    IsThemeBackgroundPartiallyTransparentFunction partly_transparent;
    DrawThemeParentBackgroundFunction draw_parent;
    DrawThemeBackgroundFunction draw_background;
    WNDPROC native_proc;            // the rich edit class procedure
};

extern TextViewLibrary g_text_view;

// The kind's window procedure (installed below the common control procedure).
LRESULT CALLBACK text_view_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

int64_t text_view_set_color(GadgetObject* gadget, int32_t which, int64_t color);

// Line operations (text_view_lines.cpp).
int64_t text_view_add_item(GadgetObject* gadget, int64_t line, const wchar_t* text,
                           int64_t image, int64_t flags);
int64_t text_view_remove_item(GadgetObject* gadget, int64_t line);
int64_t text_view_clear_items(GadgetObject* gadget);
int64_t text_view_count_items(GadgetObject* gadget);
void text_view_get_item_text(GadgetObject* gadget, int64_t line, int64_t out);
int64_t text_view_set_item_text(GadgetObject* gadget, int64_t line, const wchar_t* text);

