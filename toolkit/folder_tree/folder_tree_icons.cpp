// Per-extension icon cache of the folder tree's file items, shared by all
// trees and guarded by its own lock.
#include "toolkit/folder_tree/folder_tree.h"
#include <shellapi.h>
#include <wchar.h>
#include "runtime/runtime.h"

struct ExtensionIcon {
    wchar_t extension[4];    // upper case, not terminated when 4 units long
    int32_t type_name;       // offset into the type-name pool
    int32_t icon;
};

struct ExtensionIconCache {
    CRITICAL_SECTION lock;
    int32_t started;
    ExtensionIcon* entries;
    int32_t count;
    int32_t capacity;        // grows by 100
    wchar_t* type_names;
    int32_t names_used;
    int32_t names_capacity;  // grows by 500
};

static ExtensionIconCache g_icons;

void folder_tree_icons_start() {
    if (g_icons.started) {
        return;
    }
    InitializeCriticalSection(&g_icons.lock);
    g_icons.started = 1;
}

void folder_tree_icons_lock() {
    EnterCriticalSection(&g_icons.lock);
}

void folder_tree_icons_unlock() {
    LeaveCriticalSection(&g_icons.lock);
}

static int32_t find_entry(const wchar_t* extension) {
    for (int32_t i = 0; i < g_icons.count; i++) {
        if (wcsncmp(g_icons.entries[i].extension, extension, 4) == 0) {
            return i;
        }
    }
    return -1;
}

static int32_t add_type_name(const wchar_t* name) {
    int32_t units = static_cast<int32_t>(wcsnlen(name, 80)) + 1;
    if (g_icons.names_used + units > g_icons.names_capacity) {
        int32_t capacity = g_icons.names_capacity + 500;
        void* grown = g_icons.type_names
            ? heap_realloc(g_icons.type_names, capacity * sizeof(wchar_t))
            : heap_alloc(capacity * sizeof(wchar_t));
        if (!grown) {
            return -1;
        }
        g_icons.type_names = static_cast<wchar_t*>(grown);
        g_icons.names_capacity = capacity;
    }
    int32_t offset = g_icons.names_used;
    memcpy(g_icons.type_names + offset, name, (units - 1) * sizeof(wchar_t));
    g_icons.type_names[offset + units - 1] = 0;
    g_icons.names_used += units;
    return offset;
}

static void add_entry(const wchar_t* extension, const SHFILEINFOW* info) {
    if (g_icons.count == g_icons.capacity) {
        int32_t capacity = g_icons.capacity + 100;
        void* grown = g_icons.entries
            ? heap_realloc(g_icons.entries, capacity * sizeof(ExtensionIcon))
            : heap_alloc(capacity * sizeof(ExtensionIcon));
        if (!grown) {
            return;
        }
        g_icons.entries = static_cast<ExtensionIcon*>(grown);
        g_icons.capacity = capacity;
    }
    ExtensionIcon* entry = &g_icons.entries[g_icons.count++];
    memcpy(entry->extension, extension, sizeof(entry->extension));
    entry->type_name = add_type_name(info->szTypeName);
    entry->icon = info->iIcon;
}

static int32_t ask_shell(const wchar_t* path, SHFILEINFOW* info) {
    *info = {};
    if (!SHGetFileInfoW(path, 0, info, sizeof(*info),
                        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME)) {
        info->iIcon = g_folder_tree.folder_icon;
    }
    return info->iIcon;
}

// Executables, icons, links and icon libraries carry their own icons; they
// and long extensions are asked of the shell for every file. Call under the lock.
int32_t folder_tree_file_icon(const wchar_t* path, const wchar_t* name) {
    const wchar_t* dot = wcsrchr(name, L'.');
    const wchar_t* extension = dot ? dot + 1 : L"";
    SHFILEINFOW info;
    if (wcslen(extension) > 4) {
        return ask_shell(path, &info);
    }
    wchar_t key[5] = {};
    for (int32_t i = 0; extension[i]; i++) {
        key[i] = static_cast<wchar_t>(towupper(extension[i]));
    }
    if (!wcscmp(key, L"EXE") || !wcscmp(key, L"ICO") || !wcscmp(key, L"LNK") ||
        !wcscmp(key, L"ICL")) {
        return ask_shell(path, &info);
    }
    int32_t found = find_entry(key);
    if (found >= 0) {
        return g_icons.entries[found].icon;
    }
    int32_t icon = ask_shell(path, &info);
    add_entry(key, &info);
    return icon;
}
