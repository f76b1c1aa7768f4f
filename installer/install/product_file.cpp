// The product's own name is created as the other fixed names are: the name
// is cleared and created with CREATE_NEW (no link at it followed), and the
// new file must name exactly the path asked for, so that a junction the
// user made above it is caught too.
#include "installer/install/product_file.h"
#include <string.h>
#include "files/files.h"
#include "files/link_safe.h"
#include "installer/integrity/integrity.h"
#include "resources/embedded.h"

static const wchar_t ASIDE_SUFFIX[] = L".setup-old";

DWORD product_file_write(const wchar_t* path) {
    HANDLE file = reinterpret_cast<HANDLE>(file_create_new(0, path));
    if (file == nullptr) {
        DWORD error = GetLastError();
        return error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED;
    }
    if (!handle_final_path_is(file, path)) {
        handle_delete(file);
        file_close(0);
        return ERROR_ACCESS_DENIED;
    }
    EmbeddedBlock product = embedded_product();
    int64_t written = file_write_inflated(0, product.data, product.size, product_length());
    DWORD error = GetLastError();
    int64_t flushed = written == product_length() ? file_flush(0) : 0;
    if (written == product_length() && flushed == 0) {
        error = GetLastError();
    }
    bool complete = written == product_length() && flushed != 0;
    if (!complete) {
        handle_delete(file);
    }
    file_close(0);
    if (complete && !product_file_verified(path)) {
        file_delete_no_link(path);
        return ERROR_CRC;
    }
    return complete ? ERROR_SUCCESS : (error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
}

static bool aside_name(const wchar_t* path, wchar_t* name) {
    if (wcslen(path) + wcslen(ASIDE_SUFFIX) >= MAX_PATH) {
        return false;
    }
    wcscpy(name, path);
    wcscat(name, ASIDE_SUFFIX);
    return true;
}

DWORD product_file_set_aside(const wchar_t* path, HANDLE* aside) {
    *aside = nullptr;
    HANDLE old = CreateFileW(path, DELETE | GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (old == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS
                                                                              : error;
    }
    wchar_t name[MAX_PATH];
    if (!handle_names_path(old, path)) {
        CloseHandle(old);
        return ERROR_SUCCESS;   // a link: the new file's creation refuses it
    }
    // A file left aside by a setup that did not end is cleared first.
    if (!aside_name(path, name) || file_remove_name(name) == 0 || !handle_rename(old, name, false)) {
        DWORD error = GetLastError();
        CloseHandle(old);
        return error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED;
    }
    *aside = old;
    return ERROR_SUCCESS;
}

void product_file_restore_aside(HANDLE aside, const wchar_t* path) {
    if (aside == nullptr) {
        return;
    }
    handle_rename(aside, path, false);
    CloseHandle(aside);
}

void product_file_drop_aside(HANDLE aside) {
    if (aside == nullptr) {
        return;
    }
    handle_delete(aside);
    CloseHandle(aside);
}

static bool file_identity(const wchar_t* path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE |
                              FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool known = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return known;
}

bool product_file_same(const wchar_t* a, const wchar_t* b) {
    BY_HANDLE_FILE_INFORMATION first = {};
    BY_HANDLE_FILE_INFORMATION second = {};
    return file_identity(a, &first) && file_identity(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}
