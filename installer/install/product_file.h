// The product file in its folder: written new without following a link,
// an old one kept aside while a reinstall into the same folder is not yet
// recorded, and file identity for telling two names of one file apart.
#pragma once
#include <windows.h>

// Writes `path` new (whatever was there is first cleared, a link there or
// in a folder above is refused), inflated from the stored block and read
// back; ERROR_SUCCESS, or the Windows error of the step that failed (the
// partial file is taken back).
DWORD product_file_write(const wchar_t* path);
// Renames the file at `path` to a name beside it, through a handle held
// without sharing until product_file_drop_aside or _restore_aside;
// ERROR_SUCCESS with *aside null when nothing (or a link) is there.
DWORD product_file_set_aside(const wchar_t* path, HANDLE* aside);
// The new file is gone again: the old one takes its name back.
void product_file_restore_aside(HANDLE aside, const wchar_t* path);
// The new file is recorded: the old one is deleted.
void product_file_drop_aside(HANDLE aside);
// Both names lead to one file or folder (volume serial number and file index), which
// short names, case, doubled backslashes or a link cannot fool.
bool product_file_same(const wchar_t* a, const wchar_t* b);
