// Finding the installer's window and controls from another process.
#include "setup_driver.h"
#include <cstdio>
#include "support/child_process.h"
#include "support/wait.h"
#include "toolkit/window_scale.h"

namespace {

// Where each control sits: its parent (a panel or the window itself) and
// its rectangle relative to that parent's client area. No two controls
// share a rectangle within the same parent, so this names them uniquely.
struct Place {
    const char* name;
    int parent;  // -1: the window
    int x, y, w, h;
};

const Place places[CONTROL_COUNT] = {
    {"folder_tree", -1, 40, 40, 350, 460},
    {"install_button", -1, 580, 560, 80, 30},
    {"folder_cancel_button", -1, 680, 560, 80, 30},
    {"path_field", -1, 40, 520, 720, 20},
    {"agreement_view", -1, 200, 120, 400, 270},
    {"agreement_panel", -1, 200, 400, 400, 100},
    {"accept_option", AGREEMENT_PANEL, 30, 10, 280, 20},
    {"decline_option", AGREEMENT_PANEL, 30, 30, 280, 20},
    {"agreement_next_button", AGREEMENT_PANEL, 200, 60, 80, 30},
    {"agreement_cancel_button", AGREEMENT_PANEL, 300, 60, 80, 30},
    {"maintenance_panel", -1, 200, 200, 400, 140},
    {"maintenance_label", MAINTENANCE_PANEL, 30, 10, 300, 40},
    {"reinstall_option", MAINTENANCE_PANEL, 30, 50, 280, 20},
    {"remove_option", MAINTENANCE_PANEL, 30, 70, 280, 20},
    {"maintenance_next_button", MAINTENANCE_PANEL, 200, 100, 80, 30},
    {"maintenance_cancel_button", MAINTENANCE_PANEL, 300, 100, 80, 30},
    {"language_panel", -1, 200, 200, 400, 120},
    {"language_label", LANGUAGE_PANEL, 30, 10, 300, 20},
    {"german_option", LANGUAGE_PANEL, 30, 30, 80, 20},
    {"english_option", LANGUAGE_PANEL, 30, 50, 80, 20},
    {"language_next_button", LANGUAGE_PANEL, 200, 80, 80, 30},
    {"language_cancel_button", LANGUAGE_PANEL, 300, 80, 80, 30},
};

std::vector<HWND> children_of(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT rect_in_parent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The places are in 96-DPI units: on a scaled window they lie where the
// toolkit's one scale function puts them.
bool at_place(HWND child, HWND parent, const Place& p, int32_t scale) {
    if (GetParent(child) != parent) {
        return false;
    }
    RECT r = rect_in_parent(child);
    RECT want = scale_rect(scale, p.x, p.y, p.w, p.h);
    return EqualRect(&r, &want) != FALSE;
}

}  // namespace

// Pages may be built when first shown, so controls not there yet are
// looked up again when they are asked for.
bool setup_find_controls(Setup& setup) {
    std::vector<HWND> all = children_of(setup.window);
    int32_t scale = setup_scale(setup.window);
    for (int c = 0; c < CONTROL_COUNT; c++) {
        HWND parent = places[c].parent < 0 ? setup.window : setup.controls[places[c].parent];
        for (HWND child : all) {
            if (setup.controls[c] == nullptr && parent != nullptr &&
                at_place(child, parent, places[c], scale)) {
                setup.controls[c] = child;
                break;
            }
        }
    }
    for (Control c : {LANGUAGE_PANEL, LANGUAGE_LABEL, GERMAN_OPTION, ENGLISH_OPTION,
                      LANGUAGE_NEXT_BUTTON, LANGUAGE_CANCEL_BUTTON}) {
        if (setup.controls[c] == nullptr) {
            return false;
        }
    }
    return true;
}

static HWND handle(Setup& setup, Control c) {
    if (setup.controls[c] == nullptr && setup.window != nullptr) {
        setup_find_controls(setup);
    }
    return setup.controls[c];
}

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* class_name;
    const wchar_t* title;  // null: any
    HWND found;
};

BOOL CALLBACK match_top_level(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if ((search->pid != 0 && pid != search->pid) || !IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t class_name[64] = {};
    GetClassNameW(window, class_name, 64);
    if (search->class_name != nullptr && lstrcmpW(class_name, search->class_name) != 0) {
        return TRUE;
    }
    if (search->title != nullptr && window_text(window) != search->title) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// pid 0: a window of any process.
HWND find_top_level(DWORD pid, const wchar_t* class_name, const wchar_t* title) {
    WindowSearch search{pid, class_name, title, nullptr};
    EnumWindows(match_top_level, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// This process's environment with APPDATA and ProgramFiles replaced. A
// 64-bit process takes its ProgramFiles from ProgramW6432 when it starts
// (seen under Wine), so that one is replaced too.
static std::vector<wchar_t> setup_environment(const SetupEnvironment& env) {
    const wchar_t* appdata = env.appdata.empty() ? nullptr : env.appdata.c_str();
    const wchar_t* program_files = env.program_files.empty() ? nullptr : env.program_files.c_str();
    return environment_block(
        {{L"APPDATA", appdata}, {L"ProgramFiles", program_files}, {L"ProgramW6432", program_files}});
}

// Printed when the window or a control is not found, to see what is there.
void describe_window(Setup& setup) {
    DWORD code = 0;
    GetExitCodeProcess(setup.process.hProcess, &code);
    fprintf(stderr, "window %p, process state %lu\n", static_cast<void*>(setup.window), code);
    if (setup.window == nullptr) {
        return;
    }
    for (HWND child : children_of(setup.window)) {
        RECT r = rect_in_parent(child);
        wchar_t class_name[64] = {};
        GetClassNameW(child, class_name, 64);
        fprintf(stderr, "  %p parent %p %ls at %ld,%ld size %ldx%ld\n", static_cast<void*>(child),
                static_cast<void*>(GetParent(child)), class_name, r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    }
}

}  // namespace

int32_t setup_scale(HWND window) {
    HANDLE scale = GetPropW(window, L"TK_Scale");
    return scale ? static_cast<int32_t>(reinterpret_cast<intptr_t>(scale)) : SCALE_ONE;
}

const char* control_name(Control c) {
    return places[c].name;
}

static bool wait_for_language_page(Setup& setup, DWORD pid);

static bool start_process(PROCESS_INFORMATION& process, const wchar_t* exe,
                          const std::wstring& command, const SetupEnvironment& env,
                          DWORD flags = 0) {
    std::vector<wchar_t> block = setup_environment(env);
    ChildOptions options;
    options.application = exe;
    options.environment = &block;
    options.flags = flags;
    return child_start(process, command, options);
}

bool setup_launch_debugged(Setup& setup, const std::wstring& exe, const SetupEnvironment& env) {
    return start_process(setup.process, exe.c_str(), L"\"" + exe + L"\" -admin", env,
                         DEBUG_ONLY_THIS_PROCESS);
}

bool setup_wait_language_page(Setup& setup) {
    return wait_for_language_page(setup, setup.process.dwProcessId);
}

bool setup_launch(Setup& setup, const std::wstring& exe, const SetupEnvironment& env) {
    return start_process(setup.process, exe.c_str(), L"\"" + exe + L"\" -admin", env);
}

std::wstring window_caption(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// Sends no message: a sent message would wait until the setup's thread
// reads its messages, that is until it has built its first page.
HWND setup_visible_window(Setup& setup) {
    struct Search {
        DWORD pid;
        HWND found;
    } search{setup.process.dwProcessId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s->pid && IsWindowVisible(window) &&
                window_caption(window) == L"PikeHarbour Installation") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits for the language page of a window of process `pid` (0: any).
static bool wait_for_language_page(Setup& setup, DWORD pid) {
    bool shown = wait_until("the setup's language page", [&] {
        setup.window = find_top_level(pid, nullptr, L"PikeHarbour Installation");
        return setup.window != nullptr && setup_find_controls(setup) &&
               IsWindowVisible(setup.controls[LANGUAGE_PANEL]);
    });
    if (!shown) {
        describe_window(setup);
    }
    return shown;
}

bool setup_start(Setup& setup, const std::wstring& exe, const SetupEnvironment& env) {
    if (!start_process(setup.process, exe.c_str(), L"\"" + exe + L"\" -admin", env)) {
        return false;
    }
    return wait_for_language_page(setup, setup.process.dwProcessId);
}

bool setup_start_command(Setup& setup, const std::wstring& command, const SetupEnvironment& env) {
    PROCESS_INFORMATION started{};
    if (!start_process(started, nullptr, command, env)) {
        return false;
    }
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    if (!wait_for_language_page(setup, 0)) {
        return false;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(setup.window, &pid);
    setup.process.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION |
                                             PROCESS_TERMINATE, FALSE, pid);
    setup.process.dwProcessId = pid;
    return setup.process.hProcess != nullptr;
}

long setup_run(const std::wstring& command, const SetupEnvironment& env, int timeout_ms) {
    PROCESS_INFORMATION process{};
    if (!start_process(process, nullptr, command, env)) {
        return -2;
    }
    return static_cast<long>(child_exit_code(process, static_cast<DWORD>(timeout_ms),
                                             static_cast<DWORD>(-1)));
}

long setup_wait_exit(Setup& setup, int timeout_ms) {
    if (setup.process.hProcess == nullptr) {
        return -1;
    }
    if (WaitForSingleObject(setup.process.hProcess, timeout_ms) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(setup.process.hProcess, &code);
    CloseHandle(setup.process.hProcess);
    CloseHandle(setup.process.hThread);
    setup.process = {};
    return static_cast<long>(code);
}

void setup_kill(Setup& setup) {
    if (setup.process.hProcess == nullptr) {
        return;
    }
    TerminateProcess(setup.process.hProcess, 99);
    setup_wait_exit(setup, 5000);
}

HWND setup_control(Setup& setup, Control c) {
    return handle(setup, c);
}

std::wstring window_text(HWND window) {
    int length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    int got = static_cast<int>(
        SendMessageW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(got);
    return text;
}

bool control_visible(Setup& setup, Control c) {
    return IsWindowVisible(handle(setup, c)) != FALSE;
}

bool control_checked(Setup& setup, Control c) {
    return SendMessageW(handle(setup, c), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool control_enabled(Setup& setup, Control c) {
    return IsWindowEnabled(handle(setup, c)) != FALSE;
}

std::wstring control_text(Setup& setup, Control c) {
    return window_text(handle(setup, c));
}

std::vector<Control> visible_controls(Setup& setup) {
    std::vector<Control> visible;
    for (int c = 0; c < CONTROL_COUNT; c++) {
        if (control_visible(setup, static_cast<Control>(c))) {
            visible.push_back(static_cast<Control>(c));
        }
    }
    return visible;
}

// Posted, not sent: a click may open a modal message box, and a sent
// message would not return before the box is answered.
void control_click(Setup& setup, Control c) {
    PostMessageW(handle(setup, c), BM_CLICK, 0, 0);
}

Control focused_control(Setup& setup) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(setup.window, nullptr), &info)) {
        return CONTROL_COUNT;
    }
    setup_find_controls(setup);
    for (int c = 0; c < CONTROL_COUNT; c++) {
        if (setup.controls[c] == info.hwndFocus) {
            return static_cast<Control>(c);
        }
    }
    return CONTROL_COUNT;
}

void control_type(Setup& setup, Control c, const std::wstring& text) {
    SendMessageW(handle(setup, c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void setup_close_box(Setup& setup) {
    PostMessageW(setup.window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

MessageBoxSeen message_box_wait(Setup& setup, int timeout_ms) {
    MessageBoxSeen box;
    DWORD pid = setup.process.dwProcessId;
    wait_until(
        "a message box of the setup",
        [&] { return (box.dialog = find_top_level(pid, L"#32770", nullptr)) != nullptr; },
        static_cast<DWORD>(timeout_ms));
    if (box.dialog == nullptr) {
        return box;
    }
    box.title = window_text(box.dialog);
    // The message is the static control with the longest text (the icon
    // static, when there is one, has none).
    for (HWND child : children_of(box.dialog)) {
        wchar_t class_name[32] = {};
        GetClassNameW(child, class_name, 32);
        std::wstring text = window_text(child);
        if (lstrcmpiW(class_name, L"Static") == 0 && text.size() > box.text.size()) {
            box.text = text;
        }
    }
    return box;
}

void message_box_answer(const MessageBoxSeen& box, int button) {
    HWND control = GetDlgItem(box.dialog, button);
    PostMessageW(control, BM_CLICK, 0, 0);
    wait_until("the message box to close", [&] { return !IsWindow(box.dialog); });
}

RECT message_box_button_rect(const MessageBoxSeen& box, int button) {
    RECT r{};
    GetWindowRect(GetDlgItem(box.dialog, button), &r);
    return r;
}
