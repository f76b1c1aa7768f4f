// Asking the processes of a set to close, as a user would close their
// windows, and waiting for them. Nothing here ends a process by force.
#include "process/image_users.h"

struct CloseRequest {
    ImageUsers* users;
    DWORD session;
    bool post;
};

static ImageUser* user_of(ImageUsers* users, DWORD id) {
    for (int32_t i = 0; i < users->count; i++) {
        if (users->users[i].id == id) {
            return &users->users[i];
        }
    }
    return nullptr;
}

// Windows are matched by their process id only, never by title or class:
// a renamed or translated product is still found, another program never.
// Owned windows (dialogs, tool windows) close with their owner.
static BOOL CALLBACK close_window(HWND window, LPARAM context) {
    CloseRequest* request = reinterpret_cast<CloseRequest*>(context);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    ImageUser* user = user_of(request->users, id);
    if (user == nullptr || user->state == USER_ENDED || user->session != request->session ||
        GetWindow(window, GW_OWNER) != nullptr) {
        return TRUE;
    }
    if (!request->post) {
        user->windows++;
    } else if (PostMessageW(window, WM_CLOSE, 0, 0)) {
        user->windows++;
        user->state = USER_ASKED;
    }
    return TRUE;
}

// A process of another session has its windows on another desktop, out of
// this process's reach: EnumWindows lists only this desktop's windows.
int32_t image_users_ask_close(ImageUsers* users, bool post) {
    CloseRequest request = {users, 0, post};
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &request.session)) {
        return 0;
    }
    for (int32_t i = 0; i < users->count; i++) {
        users->users[i].windows = 0;
    }
    EnumWindows(close_window, reinterpret_cast<LPARAM>(&request));
    int32_t reached = 0;
    for (int32_t i = 0; i < users->count; i++) {
        reached += users->users[i].windows > 0 ? 1 : 0;
    }
    return reached;
}

// Marks every process that has ended; true when none runs any more.
static bool note_ended(ImageUsers* users) {
    bool all = true;
    for (int32_t i = 0; i < users->count; i++) {
        ImageUser* user = &users->users[i];
        if (user->state != USER_ENDED && WaitForSingleObject(user->handle, 0) == WAIT_OBJECT_0) {
            user->state = USER_ENDED;
        }
        all = all && user->state == USER_ENDED;
    }
    return all;
}

static void dispatch_pending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool image_users_wait(ImageUsers* users, DWORD timeout_ms, bool pump) {
    ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (!note_ended(users)) {
        HANDLE handles[IMAGE_USERS_LIMIT];
        DWORD count = 0;
        for (int32_t i = 0; i < users->count; i++) {
            if (users->users[i].state == USER_ASKED) {
                handles[count++] = users->users[i].handle;
            }
        }
        ULONGLONG now = GetTickCount64();
        // A process that was not asked does not end because of this wait.
        if (count == 0 || now >= deadline) {
            return false;
        }
        DWORD left = static_cast<DWORD>(deadline - now);
        if (pump) {
            if (MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_ALLINPUT) ==
                WAIT_OBJECT_0 + count) {
                dispatch_pending();
            }
        } else {
            WaitForMultipleObjects(count, handles, FALSE, left);
        }
    }
    return true;
}

int32_t image_users_in_own_session(const ImageUsers* users) {
    DWORD own = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &own)) {
        return 0;
    }
    int32_t count = 0;
    for (int32_t i = 0; i < users->count; i++) {
        count += users->users[i].session == own ? 1 : 0;
    }
    return count;
}
