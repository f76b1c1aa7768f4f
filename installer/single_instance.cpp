// The installer role's mutex. Any user may create a name in the global
// namespace (the "create global objects" right covers file mappings and
// symbolic links only), so a plain "Global\" name could be taken first by
// an unelevated process and would then refuse every setup with 1618. The
// mutex therefore lives in a private namespace whose boundary holds the
// Administrators group: only a process whose token has that group enabled
// (an elevated one) can create or open that namespace, and its security
// descriptor admits only Administrators and SYSTEM. Where the system has no
// private namespaces, the global name is the next best guard, then the
// session's own. Wine 8 returns no boundary descriptor (and its
// CreatePrivateNamespaceW is a stub that aborts the process when called),
// so the namespace is only asked for once a boundary exists.
// The handles are never closed: the mutex goes with the process.
#include "installer/single_instance.h"
#include <windows.h>
#include <sddl.h>

static const wchar_t WINDOW_TITLE[] = L"PikeHarbour Installation";
static const wchar_t WINDOW_CLASS_PREFIX[] = L"WindowClass_";

// A name that exists but may not be opened belongs to another setup of
// another administrator's session as much as one that opens.
static HANDLE create_named(const wchar_t* name, SECURITY_ATTRIBUTES* security, bool* existed) {
    HANDLE mutex = CreateMutexW(security, FALSE, name);
    DWORD error = GetLastError();
    *existed = mutex != nullptr ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    return mutex;
}

typedef HANDLE(WINAPI* CreateBoundary)(LPCWSTR, ULONG);
typedef BOOL(WINAPI* AddSid)(HANDLE*, PSID);
typedef HANDLE(WINAPI* CreateNamespace)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
typedef HANDLE(WINAPI* OpenNamespace)(LPVOID, LPCWSTR);

// The calls are looked up: the setup still starts where kernel32 lacks them.
static FARPROC kernel_call(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel == nullptr ? nullptr : GetProcAddress(kernel, name);
}

// The Administrators-only namespace "PikeHarbour"; false where the system
// offers none or refuses it.
static bool open_admin_namespace(SECURITY_ATTRIBUTES* security) {
    auto create_boundary = reinterpret_cast<CreateBoundary>(kernel_call("CreateBoundaryDescriptorW"));
    auto add_sid = reinterpret_cast<AddSid>(kernel_call("AddSIDToBoundaryDescriptor"));
    auto create_space = reinterpret_cast<CreateNamespace>(kernel_call("CreatePrivateNamespaceW"));
    auto open_space = reinterpret_cast<OpenNamespace>(kernel_call("OpenPrivateNamespaceW"));
    if (!create_boundary || !add_sid || !create_space || !open_space) {
        return false;
    }
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    HANDLE boundary = create_boundary(L"PikeHarbourSetup", 0);
    if (boundary == nullptr || !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size) ||
        !add_sid(&boundary, sid)) {
        return false;
    }
    HANDLE space = create_space(security, boundary, L"PikeHarbour");
    if (space == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        space = open_space(boundary, L"PikeHarbour");
    }
    return space != nullptr;
}

bool single_instance_take() {
    // Full access for Administrators and SYSTEM only; no one else may open,
    // hold or wait on the objects.
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, FALSE};
    ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;;GA;;;BA)(A;;GA;;;SY)", SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr);
    SECURITY_ATTRIBUTES* attributes = security.lpSecurityDescriptor ? &security : nullptr;
    bool existed = false;
    HANDLE mutex = nullptr;
    if (open_admin_namespace(attributes)) {
        mutex = create_named(L"PikeHarbour\\Setup", attributes, &existed);
    }
    if (mutex == nullptr && !existed) {
        mutex = create_named(L"Global\\PikeHarbourSetup", attributes, &existed);
    }
    if (mutex == nullptr && !existed) {
        mutex = create_named(L"Local\\PikeHarbourSetup", attributes, &existed);
    }
    // No name could be made: running without the guard is better than
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

bool single_instance_show_other() {
    HWND window = nullptr;
    EnumWindows(find_setup_window, (LPARAM)&window);
    if (window == nullptr) {
        return false;
    }
    // The other setup may show a message box: its owner is brought up with
    // it. Windows lets this process take the foreground: the user just
    // started it.
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(GetLastActivePopup(window));
    return true;
}
