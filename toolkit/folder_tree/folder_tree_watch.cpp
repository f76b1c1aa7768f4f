// Stays though no tree watches: the explorer services start it with the first tree.
// The directory-watch thread of the explorer services, started by the first
// folder tree. It waits on a command event and on change-notification
// handles; commands add or remove a control's handle and are acknowledged
// through a second event. A changed directory posts MESSAGE_FORWARD with the
// control's handle to the control's parent. No tree registers a watch, so
// here the thread only waits until shutdown.
#include "toolkit/folder_tree/folder_tree.h"

enum : int32_t { WATCH_NONE = 0, WATCH_ADD = 1, WATCH_REMOVE = 2, WATCH_QUIT = 3 };
constexpr DWORD WATCH_ACK_TIMEOUT = 5000;
constexpr int32_t WATCH_SLOTS = MAXIMUM_WAIT_OBJECTS - 1;

struct DirectoryWatch {
    CRITICAL_SECTION lock;       // one requester at a time
    int32_t started;
    HANDLE thread;
    HANDLE command_event;
    HANDLE ack_event;
    int32_t command;
    HWND command_control;
    HANDLE command_handle;
    int32_t command_result;
    HWND controls[WATCH_SLOTS];
    HANDLE changes[WATCH_SLOTS];   // owned by the thread once added
    int32_t count;
};

static DirectoryWatch g_watch;

static void remove_slot(int32_t slot) {
    FindCloseChangeNotification(g_watch.changes[slot]);
    g_watch.count--;
    g_watch.controls[slot] = g_watch.controls[g_watch.count];
    g_watch.changes[slot] = g_watch.changes[g_watch.count];
}

static int32_t run_command() {
    if (g_watch.command == WATCH_ADD) {
        if (g_watch.count == WATCH_SLOTS) {
            return 0;
        }
        g_watch.controls[g_watch.count] = g_watch.command_control;
        g_watch.changes[g_watch.count++] = g_watch.command_handle;
        return 1;
    }
    int32_t removed = 0;
    for (int32_t i = g_watch.count - 1; i >= 0; i--) {
        if (g_watch.command == WATCH_QUIT || g_watch.controls[i] == g_watch.command_control) {
            remove_slot(i);
            removed = 1;
        }
    }
    return removed;
}

static void report_change(int32_t slot) {
    HWND control = g_watch.controls[slot];
    PostMessageW(GetParent(control), MESSAGE_FORWARD, 0,
                 reinterpret_cast<LPARAM>(control));
    if (!FindNextChangeNotification(g_watch.changes[slot])) {
        remove_slot(slot);
    }
}

static DWORD WINAPI watch_thread(void*) {
    for (;;) {
        HANDLE handles[MAXIMUM_WAIT_OBJECTS];
        handles[0] = g_watch.command_event;
        for (int32_t i = 0; i < g_watch.count; i++) {
            handles[i + 1] = g_watch.changes[i];
        }
        DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(g_watch.count + 1), handles,
                                             FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) {
            int32_t command = g_watch.command;
            g_watch.command_result = run_command();
            SetEvent(g_watch.ack_event);
            if (command == WATCH_QUIT) {
                return 0;
            }
        } else if (woken > WAIT_OBJECT_0 && woken <= WAIT_OBJECT_0 + g_watch.count) {
            report_change(static_cast<int32_t>(woken - WAIT_OBJECT_0 - 1));
        } else {
            return 1;
        }
    }
}

int32_t folder_tree_watch_start() {
    if (g_watch.thread) {
        return 1;
    }
    if (!g_watch.started) {
        InitializeCriticalSection(&g_watch.lock);
        g_watch.started = 1;
    }
    g_watch.command_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_watch.ack_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (g_watch.command_event && g_watch.ack_event) {
        g_watch.thread = CreateThread(nullptr, 0, watch_thread, nullptr, 0, nullptr);
    }
    return g_watch.thread != nullptr;
}

static void close_handles() {
    CloseHandle(g_watch.thread);
    CloseHandle(g_watch.command_event);
    CloseHandle(g_watch.ack_event);
    g_watch.thread = nullptr;
    g_watch.command_event = nullptr;
    g_watch.ack_event = nullptr;
}

// Hands a command to the thread and waits for its acknowledgement; a thread
// that does not answer within 5000 ms is terminated.
static int32_t request(int32_t command, HWND control, HANDLE change) {
    if (!g_watch.thread) {
        return 0;
    }
    EnterCriticalSection(&g_watch.lock);
    g_watch.command = command;
    g_watch.command_control = control;
    g_watch.command_handle = change;
    ResetEvent(g_watch.ack_event);
    SetEvent(g_watch.command_event);
    int32_t result = 0;
    if (WaitForSingleObject(g_watch.ack_event, WATCH_ACK_TIMEOUT) == WAIT_OBJECT_0) {
        result = g_watch.command_result;
    } else {
        TerminateThread(g_watch.thread, 1);
        close_handles();
    }
    LeaveCriticalSection(&g_watch.lock);
    return result;
}

int32_t folder_tree_watch_add(HWND control, HANDLE change) {
    return request(WATCH_ADD, control, change);
}

int32_t folder_tree_watch_remove(HWND control) {
    return request(WATCH_REMOVE, control, nullptr);
}

int32_t folder_tree_watch_running() {
    return g_watch.thread && WaitForSingleObject(g_watch.thread, 0) == WAIT_TIMEOUT;
}

void folder_tree_services_end() {
    if (!g_watch.thread) {
        return;
    }
    HANDLE thread = g_watch.thread;
    if (request(WATCH_QUIT, nullptr, nullptr) || g_watch.thread == thread) {
        WaitForSingleObject(thread, WATCH_ACK_TIMEOUT);
        close_handles();
    }
}
