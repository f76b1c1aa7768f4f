// The install step and the payload check the window started: a check still
// running is shown on the folder page (how far it got) while the window
// takes no input; nothing is written before it has passed.
#include "installer/integrity/integrity_check_thread.h"
#include "installer/pages/window.h"
#include "installer/text.h"
#include "runtime/registry.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"
#include "toolkit/windows.h"

static void show_progress(int64_t label) {
    TempScope text;
    temp_append(text_pick(L"Das Setupprogramm wird geprüft: ", L"Checking the setup program: "));
    string_from_integer(integrity_check_percent(), temp_position());
    temp_append(L" %");
    control_set_text(label, text.text());
}

// Paints and the window server's own messages go on; keys and clicks
// that arrive meanwhile are dropped, as a disabled window would drop them.
static void dispatch_all_but_input() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                     (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
        if (message.message == WM_QUIT) {
            PostQuitMessage((int)message.wParam);
            return;
        }
        if (!input) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool integrity_wait_for_install() {
    static int64_t label;
    if (integrity_check_state() == INTEGRITY_RUNNING) {
        HWND window = window_handle(installer_window());
        EnableWindow(window, FALSE);
        if (label == 0) {
            label = label_create(ANY_ID, 40, 566, 520, 20, L"");
        }
        control_hide(label, 0);
        while (integrity_check_state() == INTEGRITY_RUNNING) {
            show_progress(label);
            integrity_check_wait(100);
            dispatch_all_but_input();
        }
        control_hide(label, 1);
        EnableWindow(window, TRUE);
    }
    return integrity_check_state() == INTEGRITY_INTACT;
}
