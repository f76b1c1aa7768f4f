// Multi-line rich text control (kind 22): library set-up, creation, text,
// attributes, colours and font.
#include "toolkit/text_view/text_view.h"
#include <richedit.h>
#include "toolkit/common_controls_6.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/system_module.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

TextViewLibrary g_text_view;

static GadgetOperations g_text_view_ops;

static const wchar_t CLIENT_RECT_PROPERTY[] = L"TK_ClientRect";
static const wchar_t WORD_WRAP_PROPERTY[] = L"TK_WordWrap";
static constexpr DWORD TEXT_VIEW_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                         WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                         ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN;

static void decide_visual_styles() {
    g_text_view.styles_decided = 1;
    g_text_view.uxtheme = system_module_load(L"uxtheme.dll");
    if (!g_text_view.uxtheme) {
        return;
    }
    typedef BOOL (WINAPI* IsAppThemedFunction)();
    IsAppThemedFunction is_app_themed = reinterpret_cast<IsAppThemedFunction>(
        GetProcAddress(g_text_view.uxtheme, "IsAppThemed"));
    g_text_view.visual_styles = is_app_themed && is_app_themed() && common_controls_6_active();
}

template <typename Function>
static void look_up(Function* function, const char* name) {
    *function = reinterpret_cast<Function>(GetProcAddress(g_text_view.uxtheme, name));
}

static void look_up_theme_functions() {
    look_up(&g_text_view.open_theme, "OpenThemeData");
    look_up(&g_text_view.close_theme, "CloseThemeData");
    look_up(&g_text_view.content_rect, "GetThemeBackgroundContentRect");
    look_up(&g_text_view.partly_transparent, "IsThemeBackgroundPartiallyTransparent");
    look_up(&g_text_view.draw_parent, "DrawThemeParentBackground");
    look_up(&g_text_view.draw_background, "DrawThemeBackground");
}

static void complete_table();

static void prepare_library() {
    if (!g_text_view.styles_decided) {
        decide_visual_styles();
    }
    if (g_text_view.table_ready) {
        return;
    }
    complete_table();
    g_text_view.riched20 = system_module_load(L"RICHED20.DLL") != nullptr;
    if (!g_text_view.riched20) {
        system_module_load(L"RICHED32.DLL");
    }
    if (g_text_view.uxtheme) {
        look_up_theme_functions();
    }
    g_text_view.table_ready = 1;
}

static GadgetObject* create_native(int64_t id, int32_t x, int32_t y, int32_t width,
                                   int32_t height, uint32_t flags) {
    const wchar_t* class_name = g_text_view.riched20 ? L"RichEdit20W" : L"RichEdit";
    DWORD ex_style = g_text_view.visual_styles ? 0 : WS_EX_CLIENTEDGE;
    return control_create_native(id, ex_style, class_name, L"", flags | TEXT_VIEW_STYLE, x, y,
                                 width, height);
}

// Steps between the record and the common creation path: properties, no
// text limit, the kind procedure, the recomputed frame and change events.
static void prepare_native(HWND hwnd) {
    int32_t* borders = static_cast<int32_t*>(heap_alloc(4 * sizeof(int32_t)));
    SetPropW(hwnd, CLIENT_RECT_PROPERTY, borders);
    SendMessageW(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(-1), 0);
    WNDPROC native = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(text_view_procedure)));
    g_text_view.native_proc = native;
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    LRESULT mask = SendMessageW(hwnd, EM_GETEVENTMASK, 0, 0);
    SendMessageW(hwnd, EM_SETEVENTMASK, 0, mask | ENM_CHANGE);
}

int64_t text_view_create(int64_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                         uint32_t flags) {
    events_suppress();
    prepare_library();
    GadgetObject* gadget = create_native(id, x, y, width, height, flags);
    if (!gadget) {
        events_resume();
        return 0;
    }
    HWND hwnd = gadget->hwnd;
    gadget->kind_slot_3 = -1;
    gadget->kind_slot_2 = -1;
    gadget->kind_slot_4 = reinterpret_cast<int64_t>(control_current_font());
    prepare_native(hwnd);
    int64_t result = control_create_common(gadget, id, hwnd, &g_text_view_ops);
    if (flags & TEXT_VIEW_WORD_WRAP) {
        g_text_view_ops.set_attribute(gadget, TEXT_VIEW_WORD_WRAP, 1);
    }
    events_resume();
    return result;
}

// Puts `text` into the control as UTF-8 through EM_SETTEXTEX, so that a text
// starting with the RTF signature is read as rich text.
static int64_t set_text_utf8(HWND hwnd, const wchar_t* text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return 0;
    }
    char* utf8 = static_cast<char*>(heap_alloc_raw(bytes));
    if (!utf8) {
        return 0;
    }
    int written = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, bytes, nullptr, nullptr);
    LRESULT result = 0;
    if (written == bytes) {
        SETTEXTEX settings = {ST_DEFAULT, CP_UTF8};
        result = SendMessageW(hwnd, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&settings),
                              reinterpret_cast<LPARAM>(utf8));
    }
    heap_free(utf8);
    return result;
}

static int64_t text_view_set_text(GadgetObject* gadget, const wchar_t* text) {
    if (!text || !text[0]) {
        SetWindowTextW(gadget->hwnd, L"");
        gadget->kind_slot_1 = TEXT_LINES_EMPTY;
        return 1;
    }
    SetScrollPos(gadget->hwnd, SB_HORZ, 0, TRUE);
    int64_t result = set_text_utf8(gadget->hwnd, text);
    // Wine leaves the caret behind the new text and scrolls to it; the view
    // goes back to the start of the text as a fresh text should.
    SendMessageW(gadget->hwnd, EM_SETSEL, 0, 0);
    SendMessageW(gadget->hwnd, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
    return result;
}

static void text_view_get_text(GadgetObject* gadget, int64_t out) {
    int length = GetWindowTextLengthW(gadget->hwnd);
    wchar_t* text = temp_reserve_units(length, out);
    int copied = length > 0 ? GetWindowTextW(gadget->hwnd, text, length + 1) : 0;
    if (copied < 0 || copied > length) {
        copied = 0;
    }
    text[copied] = 0;
    temp_set_position(out + 2 * static_cast<int64_t>(copied));
}

static int64_t text_view_get_attribute(GadgetObject* gadget, int64_t attribute) {
    if (attribute == TEXT_VIEW_READ_ONLY) {
        return (SendMessageW(gadget->hwnd, EM_GETOPTIONS, 0, 0) & ECO_READONLY) ? 1 : 0;
    }
    if (attribute == TEXT_VIEW_WORD_WRAP) {
        return reinterpret_cast<int64_t>(GetPropW(gadget->hwnd, WORD_WRAP_PROPERTY));
    }
    return 0;
}

static int64_t text_view_set_attribute(GadgetObject* gadget, int64_t attribute,
                                       int64_t value) {
    if (attribute == TEXT_VIEW_READ_ONLY) {
        SendMessageW(gadget->hwnd, EM_SETREADONLY, value != 0, 0);
        return 1;
    }
    if (attribute == TEXT_VIEW_WORD_WRAP) {
        SendMessageW(gadget->hwnd, EM_SETTARGETDEVICE, 0, value ? 0 : 1);
        SetPropW(gadget->hwnd, WORD_WRAP_PROPERTY, reinterpret_cast<HANDLE>(value));
        return 1;
    }
    return 0;
}

static int64_t set_background(GadgetObject* gadget, int64_t color) {
    WPARAM use_system = color == -1 ? 1 : 0;
    LPARAM rgb = color == -1 ? 0 : static_cast<LPARAM>(color & 0xFFFFFF);
    SendMessageW(gadget->hwnd, EM_SETBKGNDCOLOR, use_system, rgb);
    gadget->kind_slot_2 = color;
    return 1;
}

static int64_t set_text_color(GadgetObject* gadget, int64_t color) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.dwEffects = color == -1 ? CFE_AUTOCOLOR : 0;
    format.crTextColor = color == -1 ? 0 : static_cast<COLORREF>(color & 0xFFFFFF);
    SendMessageW(gadget->hwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(gadget->hwnd, EM_SETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&format));
    gadget->kind_slot_3 = color;
    return 1;
}

int64_t text_view_set_color(GadgetObject* gadget, int32_t which, int64_t color) {
    if (which == 2) {
        return set_background(gadget, color);
    }
    if (which == 1) {
        return set_text_color(gadget, color);
    }
    return 0;
}

static int64_t text_view_get_color(GadgetObject* gadget, int32_t which) {
    if (which == 2) {
        return gadget->kind_slot_2;
    }
    if (which == 1) {
        return gadget->kind_slot_3;
    }
    return -1;
}

static HFONT text_view_get_font(GadgetObject* gadget) {
    return reinterpret_cast<HFONT>(gadget->kind_slot_4);
}

static int64_t text_view_set_font(GadgetObject* gadget, HFONT font) {
    if (font == reinterpret_cast<HFONT>(-1)) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    gadget->kind_slot_4 = reinterpret_cast<int64_t>(font);
    SendMessageW(gadget->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return 1;
}

// Change notifications that reach the parent as WM_NOTIFY become
// GADGET_CHANGED; EN_CHANGE as WM_COMMAND gets the same subtype from default
// processing.
static_assert(GADGET_CHANGED == EN_CHANGE, "a changed text view reports EN_CHANGE");

static LRESULT text_view_notify(GadgetObject* gadget, HWND, UINT message, WPARAM,
                                LPARAM lparam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lparam)->code == EN_CHANGE) {
        control_post(gadget->hwnd, GADGET_CHANGED);
        return 0;
    }
    return CONTROL_DEFAULT_RESULT;
}

static void complete_table() {
    GadgetOperations* ops = &g_text_view_ops;
    ops->kind = KIND_RICH_TEXT;                          // 22
    ops->table_size = sizeof(GadgetOperations);          // 320
    ops->notify = text_view_notify;                      // change notifications
    ops->release = nullptr;                              // properties go at WM_NCDESTROY
    ops->get_state = nullptr;                            // no state
    ops->set_state = nullptr;                            // no state
    ops->get_text = text_view_get_text;                  // plain window text
    ops->set_text = text_view_set_text;                  // EM_SETTEXTEX as UTF-8
    ops->add_item = text_view_add_item;                  // insert or append a line
    ops->remove_item = text_view_remove_item;            // delete a line
    ops->clear_items = text_view_clear_items;            // empty, reset line state
    ops->count_items = text_view_count_items;            // lines in the control
    ops->get_item_text = text_view_get_item_text;        // one line's text
    ops->set_item_text = text_view_set_item_text;        // replace one line
    ops->open_list = nullptr;                            // not a container
    ops->hide = nullptr;                                 // general show/hide
    ops->get_attribute = text_view_get_attribute;        // read-only, word wrap
    ops->set_attribute = text_view_set_attribute;        // read-only, word wrap
    ops->set_color = text_view_set_color;                // 1 text, 2 background
    ops->get_color = text_view_get_color;                // stored colours
    ops->required_size = nullptr;                        // no natural size
    ops->get_font = text_view_get_font;                  // kind_slot_4
    ops->set_font = text_view_set_font;                  // store and WM_SETFONT
}
