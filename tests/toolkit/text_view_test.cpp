#include <gtest/gtest.h>
#include <richedit.h>
#include <string>
#include <vector>
#include "toolkit_support.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/windows.h"
#include "runtime/strings.h"

namespace {

class TextViewTest : public WindowTestBase {
protected:
    void SetUp() override { open_window(100, 100, 700, 500, L"Text view"); }
    static const GadgetOperations* ops(int64_t id) {
        return control_record(id)->kind_ops;
    }
    static std::wstring line(int64_t id, int64_t number) {
        TempScope scope;
        ops(id)->get_item_text(control_record(id), number, scope.start);
        return scope.text();
    }
    static int64_t count(int64_t id) {
        return ops(id)->count_items(control_record(id));
    }
};

std::wstring agreement_text() {
    std::wstring text;
    for (int i = 0; i < 60; i++) {
        text += L"The licensee may use the product on any number of machines he owns. ";
    }
    return text + L"\nEnd.";
}

TEST_F(TextViewTest, ReadOnlyWrappedViewScrollsVerticallyAndIgnoresTyping) {
    int64_t view = text_view_create(ANY_ID, 10, 10, 300, 120,
                                    TEXT_VIEW_READ_ONLY | TEXT_VIEW_WORD_WRAP);
    ASSERT_NE(view, 0);
    int64_t next = button_create(ANY_ID, 10, 200, 80, 24, L"Next");
    HWND native = control_handle(view);
    wchar_t class_name[32];
    GetClassNameW(native, class_name, 32);
    EXPECT_STREQ(class_name, L"RichEdit20W");
    EXPECT_EQ(control_get_attribute(view, TEXT_VIEW_READ_ONLY), 1);
    EXPECT_EQ(control_get_attribute(view, TEXT_VIEW_WORD_WRAP), 1);
    std::wstring text = agreement_text();
    control_set_text(view, text.c_str());
    pump();
    // Wrapped at the control's width: many more lines than paragraphs, and
    // nothing to scroll sideways.
    EXPECT_GT(SendMessageW(native, EM_GETLINECOUNT, 0, 0), 10);
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(native, OBJID_VSCROLL, &bar));
    EXPECT_FALSE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());

    std::wstring before = control_text(view);
    bring_to_front(hwnd);
    SetFocus(native);
    run_event_loop(100);
    type_character(L'x');
    press_key(VK_BACK);
    run_event_loop(150);
    EXPECT_EQ(control_text(view), before);
    press_key(VK_TAB);
    EXPECT_TRUE(event_loop_until("the focus on Next",
                                 [&] { return GetFocus() == control_handle(next); }));
}

TEST_F(TextViewTest, SetTextReplacesPlainOrRichTextAndGetTextIsPlain) {
    int64_t view = text_view_create(ANY_ID, 10, 10, 300, 120);
    control_set_text(view, L"first\nsecond");
    EXPECT_EQ(control_text(view), L"first\r\nsecond");
    control_set_text(view, L"");
    EXPECT_EQ(control_text(view), L"");
    EXPECT_EQ(GetWindowTextLengthW(control_handle(view)), 0);
    control_set_text(view, L"{\\rtf1\\ansi Hello \\b bold\\b0  w\\u246?rld}");
    EXPECT_EQ(control_text(view), L"Hello bold w\u00f6rld");
    control_set_text(view, L"Gr\u00fc\u00dfe \u20ac");
    EXPECT_EQ(control_text(view), L"Gr\u00fc\u00dfe \u20ac");
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());
}

TEST_F(TextViewTest, SetTextScrollsBackToTheLeftEdge) {
    int64_t view = text_view_create(ANY_ID, 10, 10, 200, 80);
    HWND native = control_handle(view);
    std::wstring wide(400, L'w');
    control_set_text(view, wide.c_str());
    SendMessageW(native, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    pump();
    POINT scrolled = {};
    SendMessageW(native, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    ASSERT_GT(scrolled.x, 0);
    control_set_text(view, (wide + L"!").c_str());
    pump();
    POINT after = {1, 1};
    SendMessageW(native, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ(after.x, 0);
    EXPECT_EQ(GetScrollPos(native, SB_HORZ), 0);
}

TEST_F(TextViewTest, ColoursAreStoredAndAFontChangeKeepsTheTextColour) {
    int64_t view = text_view_create(ANY_ID, 10, 10, 200, 80);
    HWND native = control_handle(view);
    EXPECT_EQ(control_get_color(view, 1), -1);
    EXPECT_EQ(control_get_color(view, 2), -1);
    control_set_color(view, 1, 0x0000C0);
    control_set_color(view, 2, 0xE0F0FF);
    control_set_text(view, L"coloured");
    HFONT font = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             L"Tahoma");
    SendMessageW(native, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(native, EM_SETSEL, 0, -1);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    SendMessageW(native, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.crTextColor, 0x0000C0u);
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(control_get_color(view, 1), 0x0000C0);
    EXPECT_EQ(control_get_color(view, 2), 0xE0F0FF);
    EXPECT_EQ(control_get_color(view, 3), -1);
    window_close(window);
    window = 0;
    DeleteObject(font);
}

TEST_F(TextViewTest, LineOperationsOnAnEmptyControlAndPastTheEnd) {
    int64_t view = text_view_create(ANY_ID, 10, 10, 300, 200);
    GadgetObject* gadget = control_record(view);
    const GadgetOperations* kind = ops(view);
    EXPECT_EQ(count(view), 0);
    EXPECT_EQ(line(view, 0), L"");
    EXPECT_EQ(line(view, 7), L"");
    EXPECT_EQ(kind->remove_item(gadget, 0), 0);
    EXPECT_EQ(kind->set_item_text(gadget, 0, L"x"), 0);
    kind->add_item(gadget, -1, L"", 0, 0);        // an empty first line
    EXPECT_EQ(count(view), 1);
    kind->add_item(gadget, 99, L"b", 0, 0);       // beyond the end: appended
    kind->add_item(gadget, 0, L"a", 0, 0);
    kind->add_item(gadget, -1, L"c", 0, 0);
    const wchar_t* expected[] = {L"a", L"", L"b", L"c"};
    ASSERT_EQ(count(view), 4);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(line(view, i), expected[i]) << i;
    }
    EXPECT_EQ(line(view, 4), L"");
    EXPECT_EQ(kind->set_item_text(gadget, 4, L"z"), 0);
    kind->set_item_text(gadget, 1, L"one");
    kind->remove_item(gadget, 3);
    EXPECT_EQ(control_text(view), L"a\r\none\r\nb");
    kind->remove_item(gadget, 0);
    EXPECT_EQ(control_text(view), L"one\r\nb");
    kind->clear_items(gadget);
    EXPECT_EQ(count(view), 0);
    kind->add_item(gadget, 5, L"only", 0, 0);
    EXPECT_EQ(count(view), 1);
    EXPECT_EQ(control_text(view), L"only");
}

}  // namespace
