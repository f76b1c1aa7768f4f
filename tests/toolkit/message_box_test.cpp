#include <gtest/gtest.h>
#include <string>
#include "toolkit_support.h"
#include "toolkit/message_box.h"
#include "toolkit/windows.h"
#include "runtime/registry.h"
#include "support/child_process.h"

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
    HWND owner;
    bool box_in_front;          // the foreground window while it was open
    uint32_t flags;             // MB_YESNO unless set
    int default_button;         // the box's default button
};

HWND find_box() {
    HWND box = nullptr;
    wait_until("the message box", [&] {
        box = FindWindowW(L"#32770", L"Question");
        return box != nullptr && IsWindowVisible(box);
    });
    return box != nullptr && IsWindowVisible(box) ? box : nullptr;
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
    answer->owner = GetWindow(box, GW_OWNER);
    // Wine's box answers DM_GETDEFID with IDOK whatever it shows; the
    // button's own style tells which one Enter presses.
    for (int id : {IDYES, IDNO}) {
        LONG style = GetWindowLongW(GetDlgItem(box, id), GWL_STYLE);
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            answer->default_button = id;
        }
    }
    answer->box_in_front =
        wait_until("the box in front", [&] { return GetForegroundWindow() == box; }, 2000);
    SendMessageW(GetDlgItem(box, answer->button), BM_CLICK, 0, 0);
    return 0;
}

// Opens the box and answers it with `answer.button` from another thread.
Answer ask_box(Answer answer, int64_t* result) {
    HANDLE thread = CreateThread(nullptr, 0, answer_box, &answer, 0, nullptr);
    *result = message_box(L"Question", L"Go on?", answer.flags ? answer.flags : MB_YESNO);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    return answer;
}

class MessageBoxTest : public testing::Test {
protected:
    int64_t windows[4] = {};
    void SetUp() override {
        for (int i = 0; i < 4; i++) {
            windows[i] = window_open(ANY_ID, 50 + 60 * i, 50, 200, 100, L"Window", WINDOW_PLAIN);
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
    Answer ask(int button, uint32_t flags = 0) {
        Answer answer = {};
        answer.button = button;
        answer.flags = flags;
        answer.second = window_handle(windows[1]);
        answer.disabled = window_handle(windows[2]);
        answer.topmost = window_handle(windows[3]);
        return ask_box(answer, &result);
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
        EXPECT_EQ(answer.owner, window_handle(windows[0]));
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

// A question whose Yes gives something up has No as its default button.
TEST_F(MessageBoxTest, DefaultNoMakesNoTheDefaultButton) {
    EXPECT_EQ(ask(IDNO).default_button, IDYES);
    Answer answer = ask(IDNO, MESSAGE_BOX_DEFAULT_NO);
    ASSERT_TRUE(answer.found_box);
    EXPECT_EQ(answer.default_button, IDNO);
    EXPECT_EQ(result, IDNO);
}

// The user switched to another program during a long step: its window is
// in front when the box opens. The box still belongs to our window and
// comes to the front, instead of opening behind that program while our
// window waits disabled.
class MessageBoxBehindTest : public WindowTestBase {
protected:
    PROCESS_INFORMATION front = {};
    void TearDown() override {
        EnumWindows(close_front_window, static_cast<LPARAM>(front.dwProcessId));
        if (front.hProcess && WaitForSingleObject(front.hProcess, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(front.hProcess, 1);
        }
        CloseHandle(front.hThread);
        CloseHandle(front.hProcess);
        WindowTestBase::TearDown();
    }
    static BOOL CALLBACK close_front_window(HWND window, LPARAM process) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == static_cast<DWORD>(process)) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return TRUE;
    }
    bool start_front_program() {
        wchar_t own[MAX_PATH];
        GetModuleFileNameW(nullptr, own, MAX_PATH);
        std::wstring path = own;
        path = path.substr(0, path.rfind(L'\\') + 1) + L"front_window.exe";
        if (!child_start(front, L"\"" + path + L"\"")) {
            return false;
        }
        return wait_until("the other program in front", [&] {
            DWORD process = 0;
            GetWindowThreadProcessId(GetForegroundWindow(), &process);
            return process == front.dwProcessId;
        });
    }
};

TEST_F(MessageBoxBehindTest, TheBoxBelongsToOurWindowAndComesToTheFront) {
    open_window(100, 200, 400, 300, L"Setup");
    bring_to_front(hwnd);
    ASSERT_TRUE(start_front_program());
    // Wine without a window manager passes focus changes on as X events:
    // the other program's must have arrived before the box opens.
    ASSERT_TRUE(wait_until("our window deactivated", [&] { return GetActiveWindow() != hwnd; }));
    Answer answer = {};
    answer.button = IDYES;
    int64_t result = 0;
    answer = ask_box(answer, &result);
    ASSERT_TRUE(answer.found_box);
    EXPECT_EQ(answer.owner, hwnd);
    EXPECT_TRUE(answer.box_in_front);
    EXPECT_EQ(result, IDYES);
    EXPECT_TRUE(IsWindowEnabled(hwnd));
}

}  // namespace
