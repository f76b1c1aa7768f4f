// Line operations of the rich text kind. Lines are the control's own lines
// (EM_GETLINECOUNT); "\n" separates them when the toolkit writes. The line
// state in kind_slot_1 lets an empty first line exist before any text does.
#include "toolkit/text_view/text_view.h"
#include <richedit.h>
#include "runtime/strings.h"

// The code page by which the rich edit control counts in UTF-16 units.
static constexpr UINT CODE_PAGE_UTF16 = 1200;

static int64_t line_count(HWND hwnd) {
    return SendMessageW(hwnd, EM_GETLINECOUNT, 0, 0);
}

static int64_t text_length(HWND hwnd) {
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, CODE_PAGE_UTF16};
    return SendMessageW(hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
}

static int64_t is_empty(GadgetObject* gadget) {
    return text_length(gadget->hwnd) == 0;
}

static void replace_range(HWND hwnd, int64_t start, int64_t end, const wchar_t* text) {
    SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    SendMessageW(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// Inserts `text` and a line break at the start of `line` (append when -1 or
// beyond the end) of a control that already has lines.
static void insert_line(HWND hwnd, int64_t line, const wchar_t* text) {
    int64_t count = line_count(hwnd);
    if (line < 0 || line >= count) {
        int64_t end = text_length(hwnd);
        replace_range(hwnd, end, end, L"\n");
        replace_range(hwnd, end + 1, end + 1, text);
        return;
    }
    int64_t start = SendMessageW(hwnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    replace_range(hwnd, start, start, L"\n");
    replace_range(hwnd, start, start, text);
}

int64_t text_view_add_item(GadgetObject* gadget, int64_t line, const wchar_t* text,
                           int64_t, int64_t) {
    if (!text) {
        text = L"";
    }
    HWND hwnd = gadget->hwnd;
    SendMessageW(hwnd, EM_HIDESELECTION, TRUE, 0);
    if (gadget->kind_slot_1 == TEXT_LINES_EMPTY && is_empty(gadget)) {
        replace_range(hwnd, 0, -1, text);
        gadget->kind_slot_1 = text[0] ? TEXT_LINES_WRITTEN : TEXT_LINES_FIRST_PENDING;
    } else {
        insert_line(hwnd, line, text);
        gadget->kind_slot_1 = TEXT_LINES_WRITTEN;
    }
    SendMessageW(hwnd, EM_HIDESELECTION, FALSE, 0);
    return 1;
}

int64_t text_view_count_items(GadgetObject* gadget) {
    if (gadget->kind_slot_1 == TEXT_LINES_EMPTY && is_empty(gadget)) {
        return 0;
    }
    return line_count(gadget->hwnd);
}

int64_t text_view_remove_item(GadgetObject* gadget, int64_t line) {
    HWND hwnd = gadget->hwnd;
    int64_t count = text_view_count_items(gadget);
    if (line < 0 || line >= count) {
        return 0;
    }
    SendMessageW(hwnd, EM_HIDESELECTION, TRUE, 0);
    int64_t start = SendMessageW(hwnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    int64_t end = line + 1 < count
        ? SendMessageW(hwnd, EM_LINEINDEX, static_cast<WPARAM>(line + 1), 0)
        : text_length(hwnd);
    if (line + 1 >= count && line > 0) {
        start -= 1;    // the last line takes the break in front of it along
    }
    replace_range(hwnd, start, end, L"");
    if (count == 1) {
        gadget->kind_slot_1 = TEXT_LINES_EMPTY;
    }
    SendMessageW(hwnd, EM_HIDESELECTION, FALSE, 0);
    return 1;
}

int64_t text_view_clear_items(GadgetObject* gadget) {
    SetWindowTextW(gadget->hwnd, L"");
    gadget->kind_slot_1 = TEXT_LINES_EMPTY;
    return 1;
}

// The line's text without its trailing break; empty beyond the end.
void text_view_get_item_text(GadgetObject* gadget, int64_t line, int64_t out) {
    HWND hwnd = gadget->hwnd;
    int64_t length = 0;
    if (line >= 0 && line < text_view_count_items(gadget)) {
        int64_t start = SendMessageW(hwnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        length = start < 0 ? 0 : SendMessageW(hwnd, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    }
    if (length > 65533) {
        length = 65533;    // EM_GETLINE takes the buffer size as one WORD
    }
    // Room for the line break too: Wine copies it along and counts it.
    wchar_t* text = temp_reserve_units(length + 2, out);
    text[0] = static_cast<wchar_t>(length + 2);
    int64_t copied = length > 0
        ? SendMessageW(hwnd, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text))
        : 0;
    if (copied < 0 || copied > length + 2) {
        copied = 0;
    }
    while (copied > 0 && (text[copied - 1] == L'\r' || text[copied - 1] == L'\n')) {
        copied--;
    }
    text[copied] = 0;
    temp_set_position(out + 2 * copied);
}

int64_t text_view_set_item_text(GadgetObject* gadget, int64_t line, const wchar_t* text) {
    HWND hwnd = gadget->hwnd;
    if (line < 0 || line >= text_view_count_items(gadget)) {
        return 0;
    }
    SendMessageW(hwnd, EM_HIDESELECTION, TRUE, 0);
    int64_t start = SendMessageW(hwnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    int64_t length = SendMessageW(hwnd, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    replace_range(hwnd, start, start + length, text ? text : L"");
    gadget->kind_slot_1 = TEXT_LINES_WRITTEN;
    SendMessageW(hwnd, EM_HIDESELECTION, FALSE, 0);
    return 1;
}
