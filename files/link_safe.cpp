// Opening, creating and deleting fixed names in user-writable folders
// without following links.
//
// Observed under Wine 8 with a Unix symlink in drive_c standing in for a
// link: FILE_FLAG_OPEN_REPARSE_POINT is not honoured, the handle is the
// target's; GetFileInformationByHandle(Ex) and FindFirstFileW report a
// plain file (attributes 0x20, no reparse tag); DeleteFileW, a delete
// through the handle and MoveFileExW all act on the target and leave the
// link. Only GetFinalPathNameByHandleW gives it away: it names the target.
// So a handle is trusted only when its final name ends in the name asked
// for, below its folder's final name; a link that cannot be removed safely
// then makes CREATE_NEW fail (it opens nothing that exists, a link
// included), never writes through it. Links in the folders above are left
// to the redirection trust policy the setup turns on at start.
#include "files/link_safe.h"
#include <string.h>
#include <wchar.h>
#include "files/path_buffer.h"

static const DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Room for a "\\?\UNC\" prefix in front of a MAX_PATH path.
static const DWORD FINAL_LIMIT = PATH_LIMIT + 16;

// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share" -> "\\server\share".
static const wchar_t* without_long_prefix(wchar_t* name) {
    if (wcsncmp(name, L"\\\\?\\UNC\\", 8) == 0) {
        name[6] = L'\\';
        return name + 6;
    }
    if (wcsncmp(name, L"\\\\?\\", 4) == 0) {
        return name + 4;
    }
    return name;
}

// The system's final name of an open handle, without the "\\?\" prefix.
static bool final_name(HANDLE handle, wchar_t* name, const wchar_t** start) {
    DWORD length = GetFinalPathNameByHandleW(handle, name, FINAL_LIMIT,
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= FINAL_LIMIT) {
        return false;
    }
    *start = without_long_prefix(name);
    return true;
}

// The handle's final name is its folder's final name and the last component
// of `path`: a link at that component names its target instead. The folder
// is resolved by the system on both sides, so a mapped or substituted drive,
// a DFS share or a short (8.3) folder name does not count as a link.
static bool final_name_matches(HANDLE handle, const wchar_t* path) {
    wchar_t folder_path[PATH_LIMIT];
    wchar_t* last = nullptr;
    DWORD length = GetFullPathNameW(path, PATH_LIMIT, folder_path, &last);
    if (length == 0 || length >= PATH_LIMIT || last == nullptr || last == folder_path) {
        return false;
    }
    wchar_t own_name[PATH_LIMIT];
    wcscpy(own_name, last);
    *last = 0;   // the folder keeps its backslash, so a drive stays its root
    HANDLE folder = CreateFileW(folder_path, FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return false;
    }
    wchar_t folder_final[FINAL_LIMIT];
    wchar_t file_final[FINAL_LIMIT];
    const wchar_t* folder_name = nullptr;
    const wchar_t* file_name = nullptr;
    bool named = final_name(folder, folder_final, &folder_name) &&
                 final_name(handle, file_final, &file_name);
    CloseHandle(folder);
    if (!named) {
        return false;
    }
    size_t folder_length = wcslen(folder_name);
    if (folder_length > 0 && folder_name[folder_length - 1] == L'\\') {
        folder_length--;
    }
    return wcslen(file_name) > folder_length && file_name[folder_length] == L'\\' &&
           CompareStringOrdinal(file_name, static_cast<int>(folder_length), folder_name,
                                static_cast<int>(folder_length), TRUE) == CSTR_EQUAL &&
           CompareStringOrdinal(file_name + folder_length + 1, -1, own_name, -1, TRUE) ==
               CSTR_EQUAL;
}

static DWORD handle_attributes(HANDLE handle) {
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return tag.FileAttributes;
}

bool handle_names_path(HANDLE handle, const wchar_t* path) {
    DWORD attributes = handle_attributes(handle);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && final_name_matches(handle, path);
}

static HANDLE open_link_itself(const wchar_t* path, DWORD access, DWORD share) {
    if (path == nullptr || wcslen(path) >= PATH_LIMIT) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(path, access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

HANDLE handle_open_no_link(const wchar_t* path, DWORD access, DWORD share) {
    HANDLE handle = open_link_itself(path, access | FILE_READ_ATTRIBUTES, share);
    if (handle == INVALID_HANDLE_VALUE) {
        return handle;
    }
    DWORD attributes = handle_attributes(handle);
    if (!handle_names_path(handle, path) || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

bool handle_delete(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

// The target goes in the "\??\" form, which the rename takes on Windows
// and Wine alike.
bool handle_rename(HANDLE handle, const wchar_t* target, bool replace) {
    size_t length = wcslen(target);
    size_t bytes = sizeof(FILE_RENAME_INFO) + (length + 8) * sizeof(wchar_t);
    FILE_RENAME_INFO* info = static_cast<FILE_RENAME_INFO*>(HeapAlloc(GetProcessHeap(),
                                                                      HEAP_ZERO_MEMORY, bytes));
    if (info == nullptr) {
        return false;
    }
    info->ReplaceIfExists = replace;
    memcpy(info->FileName, L"\\??\\", 4 * sizeof(wchar_t));
    memcpy(info->FileName + 4, target, length * sizeof(wchar_t));
    info->FileNameLength = static_cast<DWORD>((length + 4) * sizeof(wchar_t));
    BOOL renamed = SetFileInformationByHandle(handle, FileRenameInfo, info,
                                              static_cast<DWORD>(bytes));
    HeapFree(GetProcessHeap(), 0, info);
    return renamed != 0;
}

static bool is_missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A Windows link opened as itself has its own path as final name, and the
// delete removes the link, not its target.
int64_t file_remove_name(const wchar_t* path) {
    HANDLE handle = open_link_itself(path, DELETE | FILE_READ_ATTRIBUTES, SHARE_ALL);
    if (handle == INVALID_HANDLE_VALUE) {
        return is_missing(GetLastError()) ? 1 : 0;
    }
    DWORD attributes = handle_attributes(handle);
    bool removed = attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                   final_name_matches(handle, path) && handle_delete(handle);
    CloseHandle(handle);
    return removed ? 1 : 0;
}

// A folder cannot be opened as a file (access denied): it is no file of
// that name, so it counts as nothing there, not as a file in use.
static bool is_folder(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int64_t file_delete_no_link(const wchar_t* path) {
    HANDLE handle = open_link_itself(path, DELETE | FILE_READ_ATTRIBUTES, SHARE_ALL);
    if (handle == INVALID_HANDLE_VALUE) {
        return is_missing(GetLastError()) || is_folder(path) ? 0 : -1;
    }
    DWORD attributes = handle_attributes(handle);
    int64_t result = 0;
    if (handle_names_path(handle, path) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        result = handle_delete(handle) ? 1 : -1;
    }
    CloseHandle(handle);
    return result;
}

HANDLE handle_create_new(const wchar_t* path, DWORD access, DWORD share) {
    if (path == nullptr || wcslen(path) >= PATH_LIMIT || file_remove_name(path) == 0) {
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = CreateFileW(path, access | DELETE | FILE_READ_ATTRIBUTES, share, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return handle;
    }
    // A link swapped in at the name in between (where CREATE_NEW would
    // follow one): the new file landed somewhere else and is taken back.
    if (!final_name_matches(handle, path)) {
        handle_delete(handle);
        CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// The final name against the whole path asked for: a link in any folder
// above (a junction the user made) names its target and fails this. The
// path is compared in the form Windows reads it (doubled backslashes as
// one) and with short (8.3) names in their long form.
bool handle_final_path_is(HANDLE handle, const wchar_t* path) {
    wchar_t final_text[FINAL_LIMIT];
    const wchar_t* final_path = nullptr;
    wchar_t full[FINAL_LIMIT];
    DWORD length = path == nullptr ? 0 : GetFullPathNameW(path, FINAL_LIMIT, full, nullptr);
    if (length == 0 || length >= FINAL_LIMIT || !final_name(handle, final_text, &final_path)) {
        return false;
    }
    if (CompareStringOrdinal(final_path, -1, full, -1, TRUE) == CSTR_EQUAL) {
        return true;
    }
    wchar_t long_path[FINAL_LIMIT];
    length = GetLongPathNameW(full, long_path, FINAL_LIMIT);
    return length > 0 && length < FINAL_LIMIT &&
           CompareStringOrdinal(final_path, -1, long_path, -1, TRUE) == CSTR_EQUAL;
}
