// Is the file at a product's name really the product? Only then does
// removal or a reinstall delete it: the folder it lies in may come from a
// settings file that the user wrote.
#pragma once
#include <windows.h>
#include <stdint.h>

enum ProductDelete : int32_t {
    PRODUCT_DELETED,
    PRODUCT_MISSING,        // nothing there, or a folder of that name
    PRODUCT_NOT_OURS,       // another program, or a link: left alone
    PRODUCT_IN_USE,         // running or held open (a sharing or lock violation)
    PRODUCT_DELETE_FAILED,  // any other error, in *error
};

// The open file is this build's product (length and CRC-32), or its
// version resource names the vendor's product as the build records it.
bool product_identity_matches(HANDLE file, const wchar_t* path);
// Deletes `path` when it is the product, through the handle that was
// checked (no link followed); *error the Windows error otherwise.
ProductDelete product_delete_if_ours(const wchar_t* path, DWORD* error);
// The error says the file is held: a sharing or lock violation.
bool product_error_in_use(DWORD error);
