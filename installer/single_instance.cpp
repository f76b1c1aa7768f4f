// The installer role's mutex. The global name covers every session of the
// machine (two administrators on one terminal server); where the global
// namespace refuses the name, the session's own is the next best guard.
// The handle is never closed: the mutex goes with the process.
#include "installer/single_instance.h"
#include <windows.h>

static const wchar_t WINDOW_TITLE[] = L"PikeHarbour Installation";
static const wchar_t WINDOW_CLASS_PREFIX[] = L"WindowClass_";

static HANDLE create_named(const wchar_t* name, bool* existed) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    *existed = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

bool single_instance_take() {
    bool existed = false;
    HANDLE mutex = create_named(L"Global\\PikeHarbourSetup", &existed);
    if (mutex == nullptr) {
        mutex = create_named(L"Local\\PikeHarbourSetup", &existed);
    }
    // Neither name could be made: running without the guard is better than
    // refusing every installation.
    return !existed;
}

// The setup's main window: its title and a class of the toolkit's windows,
// so that another program's window of that title is left alone.
static BOOL CALLBACK find_setup_window(HWND window, LPARAM found) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    wchar_t class_name[64] = {};
    GetClassNameW(window, class_name, 64);
    size_t prefix = sizeof WINDOW_CLASS_PREFIX / sizeof(wchar_t) - 1;
    if (lstrcmpW(text, WINDOW_TITLE) == 0 &&
        wcsncmp(class_name, WINDOW_CLASS_PREFIX, prefix) == 0 && IsWindowVisible(window)) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

void single_instance_show_other() {
    HWND window = nullptr;
    EnumWindows(find_setup_window, (LPARAM)&window);
    if (window == nullptr) {
        return;
    }
    // The other setup may show a message box: its owner is brought up with
    // it. Windows lets this process take the foreground: the user just
    // started it.
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(GetLastActivePopup(window));
}
