// The folder tree's shell state, read once per process: the system small-icon
// image list, the common folder icon, and the documents and computer names
// and icons. Under Wine the first of these shell calls build the system image
// list and take some 60-100 ms, so a program may start reading them on a
// worker thread before it builds its first tree; the first creation then
// only waits for that thread.
#include "toolkit/folder_tree/folder_tree.h"
#include <shellapi.h>
#include <shlobj.h>

static const wchar_t DOCUMENTS_GUID_PATH[] = L"::{450d8fba-ad25-11d0-98a8-0800361b1103}";
static const wchar_t COMPUTER_GUID_PATH[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

struct ShellPrefetch {
    HANDLE thread;     // running or finished reader; null when none was started
    int32_t result;    // 1 when the reader found the system image list
};

static ShellPrefetch g_prefetch;

static int shell_info(const void* source, UINT extra_flags, UINT what, SHFILEINFOW* info) {
    *info = {};
    UINT flags = extra_flags | what;
    return SHGetFileInfoW(static_cast<const wchar_t*>(source), 0, info, sizeof(*info), flags) !=
           0;
}

// Icon index and display name of a shell item, from its item list, else the
// shell path `guid_path`, else the folder path; 0 when none answers.
static int shell_item_info(LPITEMIDLIST list, const wchar_t* guid_path, const wchar_t* path,
                           UINT what, SHFILEINFOW* info) {
    if (list && shell_info(list, SHGFI_PIDL, what, info)) {
        return 1;
    }
    if (guid_path && shell_info(guid_path, 0, what, info)) {
        return 1;
    }
    return path && path[0] && shell_info(path, 0, what, info);
}

static void read_documents() {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list))) {
        return;
    }
    wchar_t* path = g_folder_tree.documents_path;
    g_folder_tree.documents_available = SHGetPathFromIDListW(list, path) != 0;
    SHFILEINFOW info;
    if (shell_item_info(list, DOCUMENTS_GUID_PATH, path, SHGFI_SYSICONINDEX | SHGFI_SMALLICON,
                        &info)) {
        g_folder_tree.documents_icon = info.iIcon;
    } else {
        g_folder_tree.documents_available = 0;
    }
    if (shell_item_info(list, DOCUMENTS_GUID_PATH, path, SHGFI_DISPLAYNAME, &info)) {
        lstrcpynW(g_folder_tree.documents_name, info.szDisplayName, MAX_PATH);
    } else {
        g_folder_tree.documents_available = 0;
    }
    size_t length = wcslen(path);
    if (length > 0 && length < MAX_PATH && path[length - 1] != L'\\') {
        path[length] = L'\\';
        path[length + 1] = 0;
    }
    CoTaskMemFree(list);
}

static void read_computer() {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &list))) {
        list = nullptr;
    }
    const wchar_t* guid_path = list ? nullptr : COMPUTER_GUID_PATH;
    SHFILEINFOW info;
    if (shell_item_info(list, guid_path, nullptr, SHGFI_SYSICONINDEX | SHGFI_SMALLICON, &info)) {
        g_folder_tree.computer_icon = info.iIcon;
    }
    if (shell_item_info(list, guid_path, nullptr, SHGFI_DISPLAYNAME, &info)) {
        lstrcpynW(g_folder_tree.computer_name, info.szDisplayName, MAX_PATH);
    }
    CoTaskMemFree(list);
}

// 0 when the system image list is missing; the names are then not read.
static int32_t read_shell_state() {
    wchar_t windows[MAX_PATH];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    SHFILEINFOW info = {};
    HIMAGELIST images = length && length < MAX_PATH
        ? reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(windows, 0, &info, sizeof(info),
                                                      SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        : nullptr;
    if (!images) {
        return 0;
    }
    g_folder_tree.system_images = images;
    g_folder_tree.folder_icon = info.iIcon;
    lstrcpynW(g_folder_tree.documents_name, L"My Documents", MAX_PATH);
    lstrcpynW(g_folder_tree.computer_name, L"My Computer", MAX_PATH);
    read_documents();
    read_computer();
    return 1;
}

// Asks the shell once for every drive's name and icon, as the tree's first
// rebuild will: the first of these answers costs the most under Wine. The
// answers are dropped; critical-error boxes are off for this thread only.
static void warm_drives() {
    DWORD old_mode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_mode);
    DWORD drives = GetLogicalDrives();
    for (int32_t drive = 0; drive < 32; drive++) {
        if (drives & (1u << drive)) {
            wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', 0};
            SHFILEINFOW info;
            shell_info(root, 0, SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON, &info);
        }
    }
    SetThreadErrorMode(old_mode, nullptr);
}

static DWORD WINAPI prefetch_thread(void*) {
    HRESULT com = CoInitialize(nullptr);
    g_prefetch.result = read_shell_state();
    if (g_prefetch.result) {
        warm_drives();
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}

void folder_tree_prefetch() {
    if (g_folder_tree.ready || g_prefetch.thread) {
        return;
    }
    g_prefetch.thread = CreateThread(nullptr, 0, prefetch_thread, nullptr, 0, nullptr);
}

int32_t folder_tree_shell_state() {
    if (g_prefetch.thread) {
        WaitForSingleObject(g_prefetch.thread, INFINITE);
        CloseHandle(g_prefetch.thread);
        g_prefetch.thread = nullptr;
        if (g_prefetch.result) {
            return 1;
        }
    }
    return read_shell_state();
}
