// Owner and protected access list of the folders that what administrators
// run later comes from (the setup copy, an install folder outside Program
// Files). A folder made below a drive root would otherwise inherit the
// users' right to modify it; %ProgramData% lets users create subfolders.
#include "installer/all_users/protected_folder.h"
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <wchar.h>

// O:BA owner Administrators; D:P protected; OICI inherited by folders and
// files inside; FA full access; 0x1200a9 read and execute; BU Users.
const wchar_t PROTECTED_FOLDER_SDDL[] =
    L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

static PSECURITY_DESCRIPTOR protected_descriptor() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(PROTECTED_FOLDER_SDDL,
                                                              SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        return nullptr;
    }
    return descriptor;
}

bool protected_folder_apply(const wchar_t* folder) {
    PSECURITY_DESCRIPTOR descriptor = protected_descriptor();
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    bool applied = descriptor != nullptr &&
        GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) &&
        GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) &&
        SetNamedSecurityInfoW(const_cast<wchar_t*>(folder), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                  PROTECTED_DACL_SECURITY_INFORMATION,
                              owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return applied;
}

static bool owned_by_administrators_or_system(const wchar_t* folder) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    bool trusted = owner != nullptr && (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                                        IsWellKnownSid(owner, WinLocalSystemSid));
    LocalFree(descriptor);
    return trusted;
}

static bool folder_empty(const wchar_t* folder) {
    wchar_t pattern[MAX_PATH + 4];
    size_t length = wcslen(folder);
    if (length + 3 > MAX_PATH) {
        return false;
    }
    wmemcpy(pattern, folder, length);
    if (length > 0 && pattern[length - 1] != L'\\') {
        pattern[length++] = L'\\';
    }
    pattern[length] = L'*';
    pattern[length + 1] = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool empty = true;
    do {
        empty = empty && (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0);
    } while (empty && FindNextFileW(search, &found));
    FindClose(search);
    return empty;
}

// A folder made here gets the descriptor at creation, so there is no
// moment in which it carries inherited entries.
static ProtectedFolderResult create_protected(const wchar_t* folder) {
    PSECURITY_DESCRIPTOR descriptor = protected_descriptor();
    if (descriptor == nullptr) {
        return PROTECTED_FOLDER_FAILED;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    BOOL created = CreateDirectoryW(folder, &attributes);
    LocalFree(descriptor);
    if (!created) {
        return GetLastError() == ERROR_ALREADY_EXISTS ? PROTECTED_FOLDER_FOREIGN
                                                      : PROTECTED_FOLDER_FAILED;
    }
    return PROTECTED_FOLDER_READY;
}

ProtectedFolderResult protected_folder_make(const wchar_t* folder, bool ours) {
    DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return create_protected(folder);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return PROTECTED_FOLDER_FOREIGN;
    }
    if (!ours && !(owned_by_administrators_or_system(folder) && folder_empty(folder))) {
        return PROTECTED_FOLDER_FOREIGN;
    }
    return protected_folder_apply(folder) ? PROTECTED_FOLDER_READY : PROTECTED_FOLDER_FAILED;
}
