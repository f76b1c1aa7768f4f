// Finding the processes that run one program file. Every process is opened
// and the file it runs is opened in turn and compared by identity: path
// texts differ for one file (short names, case, "\\?\" prefixes, another
// drive letter for the same volume), and two files in two folders can have
// one name.
#include "process/image_users.h"
#include <tlhelp32.h>
#include <wchar.h>
#include "files/link_safe.h"

static const DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

static bool identity_of_handle(HANDLE file, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    identity->volume = info.dwVolumeSerialNumber;
    identity->index_high = info.nFileIndexHigh;
    identity->index_low = info.nFileIndexLow;
    return true;
}

static bool same_identity(const FileIdentity* a, const FileIdentity* b) {
    return a->volume == b->volume && a->index_high == b->index_high &&
           a->index_low == b->index_low;
}

// Only a program on a local drive ("X:\" of a fixed, removable or RAM
// drive) is opened: opening a file on a network path would connect to
// another machine with this process's credentials, and any user can start
// a program from a share of their choosing. The product is installed on a
// local drive.
static bool local_image(const wchar_t* image) {
    wchar_t drive = image[0] | 0x20;
    if (!(drive >= L'a' && drive <= L'z' && image[1] == L':' && image[2] == L'\\')) {
        return false;
    }
    wchar_t root[4] = {image[0], L':', L'\\', 0};
    UINT type = GetDriveTypeW(root);
    return type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_RAMDISK;
}

bool process_image_identity(HANDLE process, FileIdentity* identity, wchar_t* image) {
    DWORD length = IMAGE_NAME_LIMIT;
    image[0] = 0;
    if (!QueryFullProcessImageNameW(process, 0, image, &length) || length >= IMAGE_NAME_LIMIT) {
        image[0] = 0;
        return false;
    }
    if (!local_image(image)) {
        return false;
    }
    // Attributes only: the file is neither read nor locked, and a program
    // that is running can always be opened this way.
    HANDLE file = CreateFileW(image, FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool known = identity_of_handle(file, identity);
    CloseHandle(file);
    return known;
}

bool file_identity_of(const wchar_t* path, FileIdentity* identity) {
    HANDLE file = handle_open_no_link(path, FILE_READ_ATTRIBUTES, SHARE_ALL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool known = identity_of_handle(file, identity);
    CloseHandle(file);
    return known;
}

static bool in_set(const ImageUsers* users, DWORD id) {
    for (int32_t i = 0; i < users->count; i++) {
        if (users->users[i].id == id) {
            return true;
        }
    }
    return false;
}

// The handle stays open in the set: the process id cannot be reused while
// it is held, so the wait and the Restart Manager name the same process.
int32_t image_users_add(const FileIdentity* identity, DWORD id, ImageUsers* users,
                        wchar_t* image) {
    image[0] = 0;
    if (id == GetCurrentProcessId() || in_set(users, id)) {
        return 0;
    }
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process == nullptr) {
        return -1;
    }
    FileIdentity found;
    FILETIME unused[3];
    ImageUser user = {};
    if (!process_image_identity(process, &found, image) || !same_identity(&found, identity) ||
        !GetProcessTimes(process, &user.started, &unused[0], &unused[1], &unused[2])) {
        CloseHandle(process);
        return -1;
    }
    if (users->count == IMAGE_USERS_LIMIT) {
        users->overflow = 1;
        CloseHandle(process);
        return 0;
    }
    user.id = id;
    user.handle = process;
    user.state = USER_RUNNING;
    if (!ProcessIdToSessionId(id, &user.session)) {
        user.session = (DWORD)-1;
    }
    wcscpy(user.image, image);
    users->users[users->count] = user;
    users->count++;
    return 1;
}

int32_t image_users_find(const FileIdentity* identity, ImageUsers* users) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    static wchar_t image[IMAGE_NAME_LIMIT];
    int32_t added = 0;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (image_users_add(identity, entry.th32ProcessID, users, image) == 1) {
            added++;
        }
    }
    CloseHandle(snapshot);
    return added;
}

void image_users_release(ImageUsers* users) {
    for (int32_t i = 0; i < users->count; i++) {
        CloseHandle(users->users[i].handle);
    }
    users->count = 0;
    users->overflow = 0;
}
