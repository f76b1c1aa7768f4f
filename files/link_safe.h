// Fixed names in folders that an unelevated user can write (the desktop,
// %TEMP%, %APPDATA%, the profile): created new, read and deleted without
// ever reaching another file through a link the user put there.
#pragma once
#include <windows.h>
#include <stdint.h>

// The handle names exactly `path`: it is not a reparse point, and the
// system's final name for it is its folder's final name and the last
// component of `path` (a link there gives its target's name).
bool handle_names_path(HANDLE handle, const wchar_t* path);
// The handle's final name is `path` itself (any case, short names in their
// long form): no link anywhere on the way, the folders above included.
bool handle_final_path_is(HANDLE handle, const wchar_t* path);
// Opens `path` without following a reparse point at its last component;
// INVALID_HANDLE_VALUE when it is missing, a folder, or a link of any kind
// (see handle_names_path). The last error tells a missing file
// (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND) from a refused one.
HANDLE handle_open_no_link(const wchar_t* path, DWORD access, DWORD share);
// Deletes whatever file has that name, then creates it with CREATE_NEW:
// an existing file is never opened for writing. INVALID_HANDLE_VALUE when
// the name cannot be cleared, something appeared there in between, or the
// new file did not land at `path` itself (it is deleted again).
HANDLE handle_create_new(const wchar_t* path, DWORD access, DWORD share);

// Marks the file of an open handle (opened with DELETE access) for deletion
// when the handle closes: a half-written file under a fixed name is taken
// back through the handle that wrote it, never by name.
bool handle_delete(HANDLE handle);
// Renames the file of an open handle (opened with DELETE access) to
// `target`, a full path; `replace` takes the place of whatever is at that
// name (a link included: it is replaced, never written through).
bool handle_rename(HANDLE handle, const wchar_t* target, bool replace);

// 1 deleted (or nothing there), 0 refused: a link, a folder, or a file
// held open or running. The delete goes through the handle that was
// checked, so nothing can be swapped in between.
int64_t file_remove_name(const wchar_t* path);
// Like file_remove_name for removal: 1 deleted, 0 nothing there or a link
// (skipped, left alone), -1 the file is there and could not be deleted.
int64_t file_delete_no_link(const wchar_t* path);
// Copies `source` to a newly created `target` (handle_create_new); 1 when
// every byte was written.
int64_t file_copy_new(const wchar_t* source, const wchar_t* target);

// File objects on top of these: file_create_new opens for writing like
// file_create, file_open_read_no_link for reading like file_open_read.
int64_t file_create_new(int64_t id, const wchar_t* name);
int64_t file_open_read_no_link(int64_t id, const wchar_t* name);
