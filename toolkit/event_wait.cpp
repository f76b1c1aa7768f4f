// The blocking wait: a queued event first, else exactly one native message.
#include <windows.h>
#include <richedit.h>
#include "toolkit/window_core.h"
#include "toolkit/event_queue.h"
#include "toolkit/windows.h"
#include "runtime/runtime.h"

// The last native message event_wait dispatched (zero after a queued event).
struct LastMessage {
    WPARAM wparam;
    LPARAM lparam;
    WPARAM wparam_copy;
    LPARAM lparam_copy;
};

static ThreadSlot t_last_message;

static void remember(WPARAM wparam, LPARAM lparam) {
    LastMessage* last = static_cast<LastMessage*>(thread_slot_get(&t_last_message));
    if (!last) {
        last = static_cast<LastMessage*>(heap_alloc(sizeof(LastMessage)));
        if (!last || !thread_slot_set(&t_last_message, last)) {
            heap_free(last);
            return;
        }
    }
    last->wparam = wparam;
    last->lparam = lparam;
    last->wparam_copy = wparam;
    last->lparam_copy = lparam;
}

static bool key_down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

// In an editable rich text control a plain Tab types a tab character.
static bool tab_goes_to_rich_text() {
    HWND focus = GetFocus();
    wchar_t class_name[8] = {};
    if (!focus || GetClassNameW(focus, class_name, 8) < 4 || wcsncmp(class_name, L"Rich", 4)) {
        return false;
    }
    if (!key_down(VK_TAB) || key_down(VK_CONTROL) || key_down(VK_SHIFT) || key_down(VK_MENU)) {
        return false;
    }
    LRESULT options = SendMessageW(focus, EM_GETOPTIONS, 0, 0);
    return (options & ECO_READONLY) == 0;
}

static HACCEL active_accelerators(HWND active) {
    if (tab_goes_to_rich_text()) {
        return nullptr;
    }
    if (active && (key_down(VK_CONTROL) || key_down(VK_SHIFT) || key_down(VK_MENU))) {
        window_show_cues(active);
    }
    DWORD process = 0;
    int64_t id = window_id_from_handle(active);
    if (id == -1) {
        return nullptr;
    }
    GetWindowThreadProcessId(active, &process);
    if (process != GetCurrentProcessId()) {
        return nullptr;
    }
    WindowObject* window = window_record(id);
    return window ? window->accelerator_table : nullptr;
}

// Gets one message: blocking for -1, else waits up to `timeout` ms.
static bool next_message(MSG* message, int32_t timeout) {
    if (timeout == -1) {
        return GetMessageW(message, nullptr, 0, 0) != -1;
    }
    if (PeekMessageW(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
        return true;
    }
    if (timeout == 0) {
        return false;
    }
    DWORD waited = MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeout),
                                             QS_ALLINPUT | QS_ALLPOSTMESSAGE);
    if (waited == WAIT_TIMEOUT) {
        return false;
    }
    return PeekMessageW(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD) != 0;
}

int64_t event_wait(int32_t timeout) {
    int32_t code = event_fetch();
    if (code != 0) {
        remember(0, 0);
        return code;
    }
    MSG message = {};
    if (!next_message(&message, timeout)) {
        return 0;
    }
    HWND active = GetActiveWindow();
    if (dialog_keys_translate(&message)) {
        window_show_cues(active);
        remember(message.wParam, message.lParam);
        return message.message;
    }
    HACCEL accelerators = active_accelerators(active);
    if (accelerators && TranslateAcceleratorW(active, accelerators, &message)) {
        window_show_cues(active);
    } else {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    remember(message.wParam, message.lParam);
    return message.message;
}
