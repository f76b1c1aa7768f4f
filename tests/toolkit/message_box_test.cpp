#include <gtest/gtest.h>
#include "toolkit_support.h"
#include "toolkit/message_box.h"
#include "toolkit/windows.h"
#include "runtime/registry.h"

namespace {

// What the answering thread saw while the box was open.
struct Answer {
    int button;                 // IDYES or IDNO
    HWND second;                // enabled before, not in the foreground
    HWND disabled;              // disabled before the box
    HWND topmost;
    bool found_box;
    bool second_enabled_during;
    bool disabled_enabled_during;
    bool topmost_during;
};

HWND find_box() {
    for (int i = 0; i < 200; i++) {
        HWND box = FindWindowW(L"#32770", L"Question");
        if (box && IsWindowVisible(box)) {
            return box;
        }
        Sleep(25);
    }
    return nullptr;
}

DWORD WINAPI answer_box(void* parameter) {
    Answer* answer = static_cast<Answer*>(parameter);
    HWND box = find_box();
    answer->found_box = box != nullptr;
    if (!box) {
        return 0;
    }
    answer->second_enabled_during = IsWindowEnabled(answer->second);
    answer->disabled_enabled_during = IsWindowEnabled(answer->disabled);
    answer->topmost_during = (GetWindowLongPtrW(answer->topmost, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageW(GetDlgItem(box, answer->button), BM_CLICK, 0, 0);
    return 0;
}

class MessageBoxTest : public testing::Test {
protected:
    int64_t windows[4] = {};
    void SetUp() override {
        for (int i = 0; i < 4; i++) {
            windows[i] = window_open(ANY_ID, 50 + 60 * i, 50, 200, 100, L"Window", 0xC80000);
            ASSERT_NE(windows[i], 0);
        }
        EnableWindow(window_handle(windows[2]), FALSE);
        SetWindowPos(window_handle(windows[3]), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        bring_to_front(window_handle(windows[0]));
    }
    void TearDown() override {
        for (int64_t window : windows) {
            window_close(window);
        }
        pump(50);
        drain();
    }
    Answer ask(int button) {
        Answer answer = {};
        answer.button = button;
        answer.second = window_handle(windows[1]);
        answer.disabled = window_handle(windows[2]);
        answer.topmost = window_handle(windows[3]);
        HANDLE thread = CreateThread(nullptr, 0, answer_box, &answer, 0, nullptr);
        result = message_box(L"Question", L"Go on?", MB_YESNO);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        return answer;
    }
    int64_t result = 0;
};

TEST_F(MessageBoxTest, YesAndNoAreAnsweredAndTheBracketIsUndone) {
    struct Case {
        int button;
        int64_t expected;
    };
    for (const Case& c : {Case{IDYES, 6}, Case{IDNO, 7}}) {
        Answer answer = ask(c.button);
        ASSERT_TRUE(answer.found_box);
        EXPECT_EQ(result, c.expected);
        EXPECT_FALSE(answer.second_enabled_during);
        EXPECT_FALSE(answer.disabled_enabled_during);
        EXPECT_FALSE(answer.topmost_during);
        EXPECT_TRUE(IsWindowEnabled(answer.second));
        EXPECT_FALSE(IsWindowEnabled(answer.disabled));
        EXPECT_TRUE(GetWindowLongPtrW(answer.topmost, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_TRUE(IsWindowEnabled(window_handle(windows[0])));
        bring_to_front(window_handle(windows[0]));
    }
}

}  // namespace
