// The processes that run one program file, found by the file's identity
// (volume serial number and file index), and asked to close.
#pragma once
#include <windows.h>
#include <stdint.h>

// More instances of one program than anyone runs; a set that overflows is
// never closed (see ImageUsers::overflow).
constexpr int32_t IMAGE_USERS_LIMIT = 32;
constexpr DWORD IMAGE_NAME_LIMIT = 1024;

struct FileIdentity {
    DWORD volume;
    DWORD index_high;
    DWORD index_low;
};

enum ImageUserState : int32_t {
    USER_RUNNING,       // found, not asked
    USER_ASKED,         // sent WM_CLOSE, or handed to the Restart Manager
    USER_ENDED,         // its handle is signalled
};

struct ImageUser {
    DWORD id;
    DWORD session;
    HANDLE handle;              // SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
    FILETIME started;           // with the id, names the process to the Restart Manager
    int32_t state;              // ImageUserState
    int32_t windows;            // top-level windows that got WM_CLOSE
    wchar_t image[IMAGE_NAME_LIMIT];
};

struct ImageUsers {
    int32_t count;
    int32_t overflow;           // more processes ran the file than the set holds
    ImageUser users[IMAGE_USERS_LIMIT];
};

// The identity of the file at `path`, opened without following a link at
// its name (a link there could name any program); false when it is
// missing, a link or cannot be opened.
bool file_identity_of(const wchar_t* path, FileIdentity* identity);
// The identity of the file a process runs; false when the process or its
// image cannot be opened. `image` receives its name (IMAGE_NAME_LIMIT).
bool process_image_identity(HANDLE process, FileIdentity* identity, wchar_t* image);

// Adds every process (but this one) that runs the file of `identity` and
// is not in the set yet; the number added.
int32_t image_users_find(const FileIdentity* identity, ImageUsers* users);
// Adds the process `id` when it runs that file: 1 added, 0 already there,
// -1 it runs another file or cannot be opened (`image` then names its
// image where it could be read, else it is empty).
int32_t image_users_add(const FileIdentity* identity, DWORD id, ImageUsers* users,
                        wchar_t* image);
// Posts WM_CLOSE to the top-level windows (found by process id) of every
// running process of the set in this session; the others are left alone.
// Without `post` the windows are only counted. The number of processes
// with a window to close.
int32_t image_users_ask_close(ImageUsers* users, bool post);
// The number of processes of the set in this process's session.
int32_t image_users_in_own_session(const ImageUsers* users);
// Waits until every asked process has ended or `timeout_ms` has passed.
// With `pump`, the calling thread's messages are dispatched meanwhile (its
// windows keep painting). True when no process of the set runs any more.
bool image_users_wait(ImageUsers* users, DWORD timeout_ms, bool pump);
void image_users_release(ImageUsers* users);
