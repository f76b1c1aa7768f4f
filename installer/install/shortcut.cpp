// The desktop shortcut, made in the setup's own process through the
// shell's link object. The link's bytes are built in memory and written to
// a newly created file, then read back without following a link: the
// desktop belongs to the user, who may have put a link at that name.
#include "installer/install/shortcut.h"
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users/install_scope.h"
#include "installer/names.h"
#include "installer/text.h"
#include "runtime/strings.h"

// The three identifiers of the shell's link object, spelled out here: the
// import library that defines them links about 40 KB of other identifiers
// into the setup (its identifiers come in two whole objects).
static const CLSID SHELL_LINK_CLASS = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID SHELL_LINK_INTERFACE = {
    0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID PERSIST_STREAM_INTERFACE = {
    0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A shell link is a few hundred bytes; anything larger read back is not ours.
static const DWORD LINK_SIZE_LIMIT = 64 * 1024;

// An all-users installation's shortcut is on the public desktop, which
// every user sees.
void desktop_folder(int64_t out) {
    if (install_scope_all_users()) {
        shell_folder(CSIDL_COMMON_DESKTOPDIRECTORY, out);
        string_trim_char(temp_address(out), L"\\", out);
        return;
    }
    string_spaces(270, out);
    wchar_t* buffer = temp_address(out);
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &items))) {
        SHGetPathFromIDListW(items, buffer);
        CoTaskMemFree(items);
    }
    string_trim(temp_address(out), out);
}

struct ShortcutNames {
    wchar_t* link;
    wchar_t* target;
    wchar_t* working_folder;
};

static bool compute_names(const wchar_t* folder, ShortcutNames* names) {
    int64_t saved = temp_position();
    desktop_folder(saved);
    bool found = string_length(temp_address(saved)) > 0;
    temp_append(L"\\");
    temp_append(SHORTCUT_FILE);
    string_assign_temp(&names->link, saved);
    text_assign(&names->target, folder, SHORTCUT_TARGET_FILE);
    // A shortcut for all users starts in the product's folder: a profile
    // folder would be the installing account's.
    saved = temp_position();
    if (install_scope_all_users()) {
        temp_append(folder);
    } else {
        home_directory(saved);
        temp_append(L"PikeHarbour\\");
    }
    string_assign_temp(&names->working_folder, saved);
    return found;
}

static IShellLinkW* new_link() {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(SHELL_LINK_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                                SHELL_LINK_INTERFACE, reinterpret_cast<void**>(&link)))) {
        return nullptr;
    }
    return link;
}

// The fields the shortcut has always had: target, its icon (index 0),
// a normal window, and the folder PikeHarbour in the profile.
static bool set_fields(IShellLinkW* link, const ShortcutNames* names) {
    return SUCCEEDED(link->SetPath(names->target)) &&
           SUCCEEDED(link->SetIconLocation(names->target, 0)) &&
           SUCCEEDED(link->SetShowCmd(SW_SHOWNORMAL)) &&
           SUCCEEDED(link->SetWorkingDirectory(names->working_folder));
}

// The link saved into a memory stream; the stream, positioned at its end.
static IStream* saved_link(IShellLinkW* link) {
    IPersistStream* persist = nullptr;
    void** out = reinterpret_cast<void**>(&persist);
    if (FAILED(link->QueryInterface(PERSIST_STREAM_INTERFACE, out))) {
        return nullptr;
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        stream = nullptr;
    } else if (FAILED(persist->Save(stream, TRUE))) {
        stream->Release();
        stream = nullptr;
    }
    persist->Release();
    return stream;
}

static bool write_link_file(const wchar_t* path, IStream* stream) {
    ULARGE_INTEGER end = {};
    LARGE_INTEGER zero = {};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &end)) || end.QuadPart == 0 ||
        end.QuadPart > LINK_SIZE_LIMIT || FAILED(GetHGlobalFromStream(stream, &memory))) {
        return false;
    }
    HANDLE file = handle_create_new(path, GENERIC_WRITE, 0);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD size = static_cast<DWORD>(end.QuadPart);
    DWORD written = 0;
    const void* bytes = GlobalLock(memory);
    bool complete = bytes != nullptr && WriteFile(file, bytes, size, &written, nullptr) &&
                    written == size;
    GlobalUnlock(memory);
    if (!complete) {
        handle_delete(file);
    }
    CloseHandle(file);
    return complete;
}

// The file's bytes in a memory stream positioned at its start; null when
// the name is missing, a link, or too large for a shortcut.
static IStream* read_link_file(const wchar_t* path) {
    HANDLE file = handle_open_no_link(path, GENERIC_READ, FILE_SHARE_READ);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    LARGE_INTEGER size = {};
    IStream* stream = nullptr;
    HGLOBAL memory = nullptr;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= LINK_SIZE_LIMIT) {
        memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size.QuadPart));
    }
    void* bytes = memory != nullptr ? GlobalLock(memory) : nullptr;
    DWORD got = 0;
    bool read = bytes != nullptr &&
                ReadFile(file, bytes, static_cast<DWORD>(size.QuadPart), &got, nullptr) &&
                got == size.QuadPart;
    CloseHandle(file);
    if (bytes != nullptr) {
        GlobalUnlock(memory);
    }
    if (read && SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        return stream;
    }
    if (memory != nullptr) {
        GlobalFree(memory);
    }
    return nullptr;
}

// The same file by full path: the link object stores the target in its
// full form (doubled backslashes collapsed, observed under Wine), so both
// sides are compared in that form.
static bool same_path(const wchar_t* a, const wchar_t* b) {
    wchar_t full_a[MAX_PATH + 1];
    wchar_t full_b[MAX_PATH + 1];
    DWORD length_a = GetFullPathNameW(a, MAX_PATH + 1, full_a, nullptr);
    DWORD length_b = GetFullPathNameW(b, MAX_PATH + 1, full_b, nullptr);
    return length_a > 0 && length_a <= MAX_PATH && length_b > 0 && length_b <= MAX_PATH &&
           CompareStringOrdinal(full_a, -1, full_b, -1, TRUE) == CSTR_EQUAL;
}

// The saved file loads as a link that names the target.
static bool link_names_target(const wchar_t* path, const wchar_t* target) {
    IStream* stream = read_link_file(path);
    IShellLinkW* link = stream != nullptr ? new_link() : nullptr;
    IPersistStream* persist = nullptr;
    bool names = false;
    void** out = reinterpret_cast<void**>(&persist);
    if (link != nullptr && SUCCEEDED(link->QueryInterface(PERSIST_STREAM_INTERFACE, out))) {
        wchar_t read_target[MAX_PATH + 1] = {};
        names = SUCCEEDED(persist->Load(stream)) &&
                SUCCEEDED(link->GetPath(read_target, MAX_PATH + 1, nullptr, SLGP_RAWPATH)) &&
                same_path(read_target, target);
        persist->Release();
    }
    if (link != nullptr) {
        link->Release();
    }
    if (stream != nullptr) {
        stream->Release();
    }
    return names;
}

static bool save_shortcut(const ShortcutNames* names) {
    IShellLinkW* link = new_link();
    if (link == nullptr) {
        return false;
    }
    IStream* stream = set_fields(link, names) ? saved_link(link) : nullptr;
    bool written = stream != nullptr && write_link_file(names->link, stream);
    if (stream != nullptr) {
        stream->Release();
    }
    link->Release();
    if (written) {
        SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW, names->link, nullptr);
    }
    return written && link_names_target(names->link, names->target);
}

// COM may or may not be started on this thread already: a successful start
// here (S_OK or S_FALSE) is balanced; a thread in the other apartment mode
// can still use the link object, which lives in either. Multithreaded
// when it is ours to choose (the unattended install): a single-threaded
// apartment registers a window class, and under Wine that starts the
// desktop process when none runs (about 20 ms of every silent install).
bool create_desktop_shortcut(const wchar_t* folder) {
    ShortcutNames names = {};
    bool made = false;
    if (compute_names(folder, &names)) {
        HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        made = save_shortcut(&names);
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    }
    string_free(names.link);
    string_free(names.target);
    string_free(names.working_folder);
    return made;
}
