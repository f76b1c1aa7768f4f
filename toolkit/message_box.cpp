// Message boxes made modal against every visible top-level window of the
// calling thread, and shown above the thread's topmost windows.
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

static BOOL CALLBACK note_window(HWND window, LPARAM foreground) {
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
    if (window != reinterpret_cast<HWND>(foreground) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        record->disabled_here = 1;
    }
    append_record(record);
    return TRUE;
}

static void modal_begin() {
    EnumWindows(note_window, reinterpret_cast<LPARAM>(GetForegroundWindow()));
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

static HWND owner_window() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (!foreground) {
        return nullptr;
    }
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : nullptr;
}

int64_t message_box(const wchar_t* caption, const wchar_t* text, uint32_t flags) {
    HWND owner = owner_window();
    modal_begin();
    int result = MessageBoxW(owner, text ? text : L"", caption ? caption : L"", flags);
    modal_end();
    return static_cast<int64_t>(result);
}
