// The product is recognised by its bytes (this build's) or by the version
// resource of an earlier build of it: company and product name as
// PIKEHARBOUR_PRODUCT_COMPANY and PIKEHARBOUR_PRODUCT_NAME record them.
#include "installer/product_identity.h"
#include <string.h>
#include "files/link_safe.h"
#include "installer/integrity/integrity.h"
#include "product_version.h"

bool product_error_in_use(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

static WORD word_at(const uint8_t* at) {
    WORD value;
    memcpy(&value, at, sizeof value);
    return value;
}

// Walks the version resource's nodes (length, value length, type, key,
// value, children; each aligned to 4 bytes) for the text value of `key`.
static const wchar_t* find_text(const uint8_t* block, size_t size, const wchar_t* key,
                                int depth) {
    for (size_t at = 0; at + 6 <= size;) {
        const uint8_t* node = block + at;
        size_t length = word_at(node);
        if (length < 6 || length > size - at) {
            return nullptr;
        }
        size_t key_end = 6;
        while (key_end + 2 <= length && word_at(node + key_end) != 0) {
            key_end += 2;
        }
        if (key_end + 2 > length) {
            return nullptr;
        }
        size_t value_at = (key_end + 2 + 3) & ~static_cast<size_t>(3);
        size_t value_bytes = word_at(node + 4) == 1 ? word_at(node + 2) * 2u : word_at(node + 2);
        value_bytes = value_at > length ? 0 : (value_bytes > length - value_at ? length - value_at
                                                                                 : value_bytes);
        wchar_t name[32] = {};
        memcpy(name, node + 6, key_end - 6 < 62 ? key_end - 6 : 62);
        if (word_at(node + 4) == 1 && wcscmp(name, key) == 0 && value_bytes >= 2 &&
            word_at(node + value_at + value_bytes - 2) == 0) {
            return reinterpret_cast<const wchar_t*>(node + value_at);
        }
        size_t children = (value_at + value_bytes + 3) & ~static_cast<size_t>(3);
        const wchar_t* found = depth < 4 && children < length
            ? find_text(node + children, length - children, key, depth + 1) : nullptr;
        if (found != nullptr) {
            return found;
        }
        at += (length + 3) & ~static_cast<size_t>(3);
    }
    return nullptr;
}

static bool text_is(const wchar_t* found, const wchar_t* wanted) {
    return found != nullptr &&
           CompareStringOrdinal(found, -1, wanted, -1, TRUE) == CSTR_EQUAL;
}

// The file is mapped as data only: nothing of it runs in this process.
static bool version_names_product(const wchar_t* path) {
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE |
                                                        LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        return false;
    }
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const uint8_t* block = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded))
                                             : nullptr;
    DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
    bool named = block != nullptr &&
                 text_is(find_text(block, size, L"CompanyName", 0), PH_PRODUCT_COMPANY) &&
                 text_is(find_text(block, size, L"ProductName", 0), PH_PRODUCT_NAME);
    FreeLibrary(module);
    return named;
}

bool product_identity_matches(HANDLE file, const wchar_t* path) {
    return product_handle_verified(file) || version_names_product(path);
}

// A running program's file opens for deleting, but the delete is refused
// with access denied on Windows; its open for writing then gives the
// sharing violation that says "in use".
static DWORD delete_error(const wchar_t* path, DWORD error) {
    if (error != ERROR_ACCESS_DENIED) {
        return error;
    }
    HANDLE probe = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                               FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD probed = probe == INVALID_HANDLE_VALUE ? GetLastError() : error;
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
    }
    return product_error_in_use(probed) ? probed : error;
}

ProductDelete product_delete_if_ours(const wchar_t* path, DWORD* error) {
    *error = ERROR_SUCCESS;
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return PRODUCT_MISSING;
    }
    HANDLE file = CreateFileW(path, DELETE | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        if (*error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND) {
            return PRODUCT_MISSING;
        }
        return product_error_in_use(*error) ? PRODUCT_IN_USE : PRODUCT_DELETE_FAILED;
    }
    ProductDelete result = PRODUCT_NOT_OURS;
    if (handle_names_path(file, path) && product_identity_matches(file, path)) {
        result = PRODUCT_DELETED;
        if (!handle_delete(file)) {
            *error = delete_error(path, GetLastError());
            result = product_error_in_use(*error) ? PRODUCT_IN_USE : PRODUCT_DELETE_FAILED;
        }
    }
    CloseHandle(file);
    return result;
}
