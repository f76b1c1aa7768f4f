// Message boxes owned by the program's window, made modal against every
// visible top-level window of the calling thread, and shown in front of the
// thread's topmost windows and of other programs.
#include <windows.h>
#include "toolkit/message_box.h"
#include "runtime/runtime.h"

// One window touched by the modal bracket.
struct ModalRecord {
    ModalRecord* next;
    DWORD thread_id;
    HWND window;
    uint8_t was_topmost;
    uint8_t disabled_here;
};

// Process-wide; every step touches only the records of the calling thread.
static ModalRecord* g_modal_records;

static void append_record(ModalRecord* record) {
    ModalRecord** link = &g_modal_records;
    while (*link) {
        link = &(*link)->next;
    }
    *link = record;
}

static BOOL CALLBACK note_window(HWND window, LPARAM owner) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread != GetCurrentThreadId() || !IsWindowVisible(window)) {
        return TRUE;
    }
    ModalRecord* record = static_cast<ModalRecord*>(heap_alloc(sizeof(ModalRecord)));
    if (!record) {
        return TRUE;
    }
    record->thread_id = thread;
    record->window = window;
    record->was_topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0;
    // The owner is left alone: MessageBoxW disables and re-enables it.
    if (window != reinterpret_cast<HWND>(owner) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        record->disabled_here = 1;
    }
    append_record(record);
    return TRUE;
}

static void modal_begin(HWND owner) {
    EnumWindows(note_window, reinterpret_cast<LPARAM>(owner));
    DWORD thread = GetCurrentThreadId();
    for (ModalRecord* record = g_modal_records; record; record = record->next) {
        if (record->thread_id == thread && record->was_topmost) {
            SetWindowPos(record->window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    }
}

static void modal_end() {
    DWORD thread = GetCurrentThreadId();
    ModalRecord** link = &g_modal_records;
    while (*link) {
        ModalRecord* record = *link;
        if (record->thread_id != thread) {
            link = &record->next;
            continue;
        }
        if (record->disabled_here) {
            EnableWindow(record->window, TRUE);
        }
        if (record->was_topmost) {
            SetWindowPos(record->window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        *link = record->next;
        heap_free(record);
    }
}

static BOOL CALLBACK find_front_window(HWND window, LPARAM found) {
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId() ||
        !IsWindowVisible(window) || !IsWindowEnabled(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The foreground window when it is ours; otherwise the frontmost visible,
// enabled window of this thread: the program's main window. The user may
// have switched to another program during a long step: a box without owner
// would then open behind that program while our window, disabled by the
// bracket, looks frozen.
static HWND owner_window() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) {
        GetWindowThreadProcessId(foreground, &process);
        if (process == GetCurrentProcessId()) {
            return foreground;
        }
    }
    HWND front = nullptr;
    EnumWindows(find_front_window, reinterpret_cast<LPARAM>(&front));
    return front;
}

// MB_SETFOREGROUND brings the box in front of whatever program the user is
// in. (Wine ignores the flag but activates every new box anyway.)
int64_t message_box(const wchar_t* caption, const wchar_t* text, uint32_t flags) {
    HWND owner = owner_window();
    modal_begin(owner);
    int result = MessageBoxW(owner, text ? text : L"", caption ? caption : L"",
                             flags | MB_SETFOREGROUND);
    modal_end();
    return static_cast<int64_t>(result);
}
