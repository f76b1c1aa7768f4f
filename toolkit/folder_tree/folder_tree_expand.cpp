// Filling a folder tree item on its first expansion: the folders under it
// (with a has-children flag each) and, unless folders only, the files that
// match the tree's patterns; sorted when the tree asks for it.
#include "toolkit/folder_tree/folder_tree.h"
#include <shlwapi.h>
#include <wchar.h>
#include <algorithm>
#include "runtime/runtime.h"

struct TreeEntry {
    int64_t name_offset;    // into the entry list's name pool
    int32_t kind;           // TREE_ITEM_FOLDER or TREE_ITEM_FILE
    int32_t icon;
    int32_t has_children;
};

struct TreeEntryList {
    TreeEntry* entries;
    int64_t count;
    int64_t capacity;
    wchar_t* names;
    int64_t names_used;
    int64_t names_capacity;
};

struct TreePatterns {
    wchar_t text[TREE_PATTERN_UNITS];
    const wchar_t* items[TREE_PATTERN_UNITS / 2 + 1];
    int32_t count;
};

static int grow(void** block, int64_t* capacity, int64_t needed, int64_t unit) {
    if (needed <= *capacity) {
        return 1;
    }
    int64_t wanted = std::max(needed, *capacity * 2 + 64);
    if (wanted > INT64_MAX / unit / 2) {
        return 0;
    }
    void* grown = *block ? heap_realloc(*block, wanted * unit) : heap_alloc_raw(wanted * unit);
    if (!grown) {
        return 0;
    }
    *block = grown;
    *capacity = wanted;
    return 1;
}

static int add_entry(TreeEntryList* list, const wchar_t* name, int32_t kind, int32_t icon,
                     int32_t has_children) {
    int64_t units = static_cast<int64_t>(wcslen(name)) + 1;
    void* names = list->names;
    void* entries = list->entries;
    if (!grow(&names, &list->names_capacity, list->names_used + units, sizeof(wchar_t))) {
        return 0;
    }
    list->names = static_cast<wchar_t*>(names);
    if (!grow(&entries, &list->capacity, list->count + 1, sizeof(TreeEntry))) {
        return 0;
    }
    list->entries = static_cast<TreeEntry*>(entries);
    memcpy(list->names + list->names_used, name, static_cast<size_t>(units) * sizeof(wchar_t));
    list->entries[list->count++] = {list->names_used, kind, icon, has_children};
    list->names_used += units;
    return 1;
}

static void split_patterns(const wchar_t* pattern, TreePatterns* patterns) {
    lstrcpynW(patterns->text, pattern, TREE_PATTERN_UNITS);
    patterns->count = 0;
    wchar_t* cursor = patterns->text;
    for (wchar_t* item = folder_tree_next_piece(&cursor, L';'); item;
         item = folder_tree_next_piece(&cursor, L';')) {
        patterns->items[patterns->count++] = item;
    }
}

static int is_dot_entry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

static int matches(const wchar_t* name, const TreePatterns* patterns) {
    for (int32_t i = 0; i < patterns->count; i++) {
        if (PathMatchSpecW(name, patterns->items[i])) {
            return 1;
        }
    }
    return 0;
}

// Joins folder path (ending with "\"), name and suffix; 0 when too long.
static int join(wchar_t* out, const wchar_t* folder, const wchar_t* name, const wchar_t* suffix) {
    size_t a = wcslen(folder);
    size_t b = wcslen(name);
    size_t c = wcslen(suffix);
    if (a + b + c >= TREE_PATH_UNITS) {
        return 0;
    }
    memcpy(out, folder, a * sizeof(wchar_t));
    memcpy(out + a, name, b * sizeof(wchar_t));
    memcpy(out + a + b, suffix, (c + 1) * sizeof(wchar_t));
    return 1;
}

// Whether the folder holds a folder, or with `patterns` a matching file.
static int32_t folder_has_children(const wchar_t* folder, const TreePatterns* patterns) {
    wchar_t search[TREE_PATH_UNITS];
    if (!join(search, folder, L"\\", L"*.*")) {
        return 0;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW(search, FindExInfoBasic, &found,
                                   patterns ? FindExSearchNameMatch
                                            : FindExSearchLimitToDirectories,
                                   nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int32_t result = 0;
    do {
        int directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (directory ? !is_dot_entry(found.cFileName)
                      : patterns && matches(found.cFileName, patterns)) {
            result = 1;
        }
    } while (!result && FindNextFileW(find, &found));
    FindClose(find);
    return result;
}

static void collect_folders(const wchar_t* path, const TreePatterns* patterns,
                            TreeEntryList* list) {
    wchar_t search[TREE_PATH_UNITS];
    wchar_t folder[TREE_PATH_UNITS];
    if (!join(search, path, L"", L"*.*")) {
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW(search, FindExInfoBasic, &found,
                                   FindExSearchLimitToDirectories, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || is_dot_entry(found.cFileName) ||
            !join(folder, path, found.cFileName, L"")) {
            continue;
        }
        int32_t children = folder_has_children(folder, patterns);
        if (!add_entry(list, found.cFileName, TREE_ITEM_FOLDER, g_folder_tree.folder_icon,
                       children)) {
            break;
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

static void collect_files(const wchar_t* path, const wchar_t* pattern, TreeEntryList* list) {
    wchar_t search[TREE_PATH_UNITS];
    wchar_t file[TREE_PATH_UNITS];
    if (!join(search, path, L"", pattern)) {
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(search, &found);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !join(file, path, found.cFileName, L"")) {
            continue;
        }
        int32_t icon = folder_tree_file_icon(file, found.cFileName);
        if (!add_entry(list, found.cFileName, TREE_ITEM_FILE, icon, 0)) {
            break;
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// Folders (252) before files (255), each by name without regard to case.
static void sort_entries(TreeEntryList* list) {
    const wchar_t* names = list->names;
    std::sort(list->entries, list->entries + list->count,
              [names](const TreeEntry& a, const TreeEntry& b) {
                  if (a.kind != b.kind) {
                      return a.kind < b.kind;
                  }
                  return CompareStringOrdinal(names + a.name_offset, -1, names + b.name_offset,
                                              -1, TRUE) == CSTR_LESS_THAN;
              });
}

static void insert_entries(HWND tree, HTREEITEM item, const TreeEntryList* list) {
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    for (int64_t i = 0; i < list->count; i++) {
        const TreeEntry* entry = &list->entries[i];
        folder_tree_insert(tree, item, TVI_LAST, list->names + entry->name_offset, entry->icon,
                           entry->kind, entry->has_children);
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
}

// A drive is tested before it is listed, with critical-error boxes off; an
// empty drive may open the drive-not-ready dialog. 0 when not usable.
static int drive_ready(FolderTreeData* data, const wchar_t* root, int32_t drive) {
    UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD sectors, bytes, free_clusters, clusters;
    BOOL ready = GetDiskFreeSpaceW(root, &sectors, &bytes, &free_clusters, &clusters);
    DWORD error = GetLastError();
    SetErrorMode(old_mode);
    if (ready) {
        return 1;
    }
    if (error == ERROR_NOT_READY && !(data->tree_flags & TREE_NO_NOT_READY_DIALOG) &&
        g_folder_tree.shell32) {
        folder_tree_open_not_ready(data, drive);
    }
    return 0;
}

static void collect_all_files(const wchar_t* path, const TreePatterns* patterns,
                              TreeEntryList* list) {
    folder_tree_icons_lock();
    for (int32_t i = 0; i < patterns->count; i++) {
        collect_files(path, patterns->items[i], list);
    }
    folder_tree_icons_unlock();
}

void folder_tree_fill(GadgetObject* gadget, HTREEITEM item) {
    FolderTreeData* data = folder_tree_data(gadget);
    HWND tree = data->tree;
    wchar_t path[TREE_PATH_UNITS];
    if (!folder_tree_item_path(tree, item, path, TREE_PATH_UNITS) || !path[0]) {
        return;
    }
    LPARAM parameter = folder_tree_item_parameter(tree, item);
    int32_t kind = static_cast<int32_t>(parameter & 0xFF);
    if (kind < 32 && !drive_ready(data, path, kind)) {
        return;
    }
    int files_shown = !(data->tree_flags & TREE_FOLDERS_ONLY);
    TreePatterns patterns;
    split_patterns(data->pattern, &patterns);
    TreeEntryList list = {};
    collect_folders(path, files_shown ? &patterns : nullptr, &list);
    if (files_shown) {
        collect_all_files(path, &patterns, &list);
    }
    if (data->tree_flags & TREE_SORTED) {
        sort_entries(&list);
    }
    insert_entries(tree, item, &list);
    heap_free(list.entries);
    heap_free(list.names);
    folder_tree_set_item_parameter(tree, item, parameter | TREE_FILLED_MARK);
    folder_tree_refresh_images(gadget);
}
