// Installation and removal steps of the all-users installation. The setup
// copy that its Apps & features entry and its Active Setup component run
// lies in %ProgramFiles%\PikeHarbour\SetupBackup\: users cannot create
// folders in Program Files, so nobody but an administrator can have made
// it first, and it is checked anyway (see protected_folder.h).
#include "installer/all_users/all_users.h"
#include <windows.h>
#include <shlobj.h>
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users/active_setup.h"
#include "installer/all_users/all_users_record.h"
#include "installer/all_users/protected_folder.h"
#include "installer/all_users/user_settings_step.h"
#include "installer/dialogs.h"
#include "installer/install/create_path.h"
#include "installer/names.h"
#include "installer/removal/leftovers.h"
#include "installer/session.h"
#include "installer/settings_file.h"
#include "installer/text.h"
#include "process/launch.h"
#include "runtime/strings.h"

void all_users_product_folder(wchar_t** folder) {
    AllUsersRecord record;
    string_assign(folder, all_users_record_read(&record) ? record.folder : L"");
}

// This account's settings file is removed with the installation only when
// it names the recorded folder (what the per-user step wrote).
void all_users_locate(Installation* found) {
    AllUsersRecord record;
    if (!all_users_record_read(&record)) {
        return;
    }
    found->installed = true;
    found->language = record.language;
    settings_folder_of_account(&found->settings_folder);
    wchar_t* named = nullptr;
    settings_file_folder(found->settings_folder, &named);
    if (CompareStringOrdinal(named, -1, record.folder, -1, TRUE) != CSTR_EQUAL) {
        string_assign(&found->settings_folder, L"");
    }
    string_free(named);
}

// %ProgramFiles%\PikeHarbour\SetupBackup\ with its backslash; empty when
// the program-files folder is unknown.
static void copy_folder_path(wchar_t** folder) {
    int64_t at = temp_position();
    shell_folder(CSIDL_PROGRAM_FILES, at);
    if (string_length(temp_address(at)) > 0) {
        temp_append(SETUP_COPY_FOLDER);
    }
    string_assign_temp(folder, at);
}

// The first `length` characters of `text` (a folder without its last
// backslash for the security calls, or a parent folder).
static void assign_left(wchar_t** variable, const wchar_t* text, int64_t length) {
    int64_t at = temp_position();
    string_left(text, length, at);
    string_assign_temp(variable, at);
}

// Length of "SetupBackup\", the copy folder's own part.
static const int64_t COPY_FOLDER_TAIL = 12;

static void report_copy_folder(const wchar_t* folder, ProtectedFolderResult result) {
    BuiltText text = text_join(
        text_pick(L"Der Ordner für die Kopie des Setupprogramms '",
                  L"The folder for the copy of the setup program '"),
        folder,
        result == PROTECTED_FOLDER_FOREIGN
            ? text_pick(L"' besteht bereits und wurde nicht von einem Administrator angelegt "
                        L"oder ist nicht leer. Bitte lassen Sie ihn von einem Administrator "
                        L"prüfen und löschen.",
                        L"' already exists and was not made by an administrator, or is not "
                        L"empty. Please have an administrator check and delete it.")
            : text_pick(L"' konnte nicht angelegt oder geschützt werden.",
                        L"' could not be created or protected."));
    installer_tell(L"PikeHarbour Setup", text.text);
    text_release(text);
}

// The parent %ProgramFiles%\PikeHarbour\ is made as any install folder
// there is (Program Files' own access list); the copy's folder below it
// gets the protected one.
bool all_users_copy_folder(wchar_t** folder) {
    copy_folder_path(folder);
    int64_t length = string_length(*folder);
    ProtectedFolderResult result = PROTECTED_FOLDER_FAILED;
    if (length > COPY_FOLDER_TAIL) {
        wchar_t* parent = nullptr;
        wchar_t* bare = nullptr;
        assign_left(&parent, *folder, length - COPY_FOLDER_TAIL);
        assign_left(&bare, *folder, length - 1);
        if (create_path(L"", parent) != 0) {
            result = protected_folder_make(bare, all_users_record_exists());
        }
        string_free(parent);
        string_free(bare);
    }
    if (result != PROTECTED_FOLDER_READY) {
        installer_log(L"Setup copy folder", result == PROTECTED_FOLDER_FOREIGN ? L"refused" : L"failed");
        report_copy_folder(*folder, result);
        return false;
    }
    return true;
}

// Program Files (either view) keeps its own access list: only
// administrators can change what lies in it.
static bool in_program_files(const wchar_t* folder) {
    static const int32_t KNOWN[] = {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86};
    for (int32_t known : KNOWN) {
        TempScope root;
        shell_folder(known, root.start);
        int64_t length = string_length(root.text());
        bool inside = length > 0 && string_length(folder) > length &&
                      CompareStringOrdinal(folder, (int)length, root.text(), (int)length,
                                           TRUE) == CSTR_EQUAL;
        if (inside) {
            return true;
        }
    }
    return false;
}

// The deepest folder first, then each created one above it: a user who
// could rename a parent made here could put another product in its place.
bool all_users_protect_created(const wchar_t* folder, int64_t created) {
    if (created <= 0 || in_program_files(folder)) {
        return true;
    }
    wchar_t* path = nullptr;
    string_assign(&path, folder);
    bool protected_all = true;
    wchar_t* bare = nullptr;
    for (int64_t index = 0; index < created && string_length(path) > 3; index++) {
        assign_left(&bare, path, string_length(path) - 1);
        protected_all = protected_folder_apply(bare) && protected_all;
        int64_t at = temp_position();
        path_directory_part(bare, at);
        string_assign_temp(&path, at);
    }
    string_free(bare);
    string_free(path);
    installer_log(L"Install folder access list", protected_all ? L"protected" : L"failed");
    return protected_all;
}

bool all_users_record_installation(const wchar_t* folder) {
    bool recorded = all_users_record_write(folder, g_session.language);
    installer_log(L"All-users record", recorded ? L"written" : L"could not be written");
    wchar_t* copy = nullptr;
    text_assign(&copy, g_session.backup_folder, SETUP_FILE);
    bool registered = false;
    if (string_length(g_session.backup_folder) > 0 && path_size(copy) > 0) {
        wchar_t* command = nullptr;
        text_assign(&command, L"\"", copy, L"\" ", USER_STEP_PARAMETER);
        registered = active_setup_register(command);
        string_free(command);
    }
    string_free(copy);
    installer_log(L"Active Setup component", registered ? L"registered" : L"not registered");
    return recorded && registered;
}

// A copy that is running (the entry's removal command started it) cannot
// be deleted now: Windows deletes it, and then its folders, at the next
// restart.
static void delete_setup_copy(const wchar_t* folder) {
    wchar_t* copy = nullptr;
    wchar_t* bare = nullptr;
    text_assign(&copy, folder, SETUP_FILE);
    assign_left(&bare, folder, string_length(folder) - 1);
    int64_t deleted = file_delete_no_link(copy);
    DWORD error = GetLastError();
    if (deleted < 0 && MoveFileExW(copy, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        MoveFileExW(bare, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        installer_log(L"Setup copy", L"in use, deleted at the next restart");
    } else if (deleted < 0) {
        leftovers_note(copy, error);
    } else {
        installer_log(L"Setup copy", L"deleted");
    }
    RemoveDirectoryW(bare);
    string_free(bare);
    string_free(copy);
}

void all_users_remove(const wchar_t* folder) {
    LSTATUS status = all_users_record_delete();
    if (status != ERROR_SUCCESS) {
        leftovers_note(L"HKLM\\Software\\PikeHarbour", static_cast<DWORD>(status));
    }
    status = active_setup_unregister();
    if (status != ERROR_SUCCESS) {
        leftovers_note(L"Active Setup: PikeHarbour", static_cast<DWORD>(status));
    }
    wchar_t* copy_folder = nullptr;
    copy_folder_path(&copy_folder);
    if (string_length(copy_folder) > 0) {
        delete_setup_copy(copy_folder);
        wchar_t* parent = nullptr;
        assign_left(&parent, copy_folder, string_length(copy_folder) - COPY_FOLDER_TAIL);
        RemoveDirectoryW(parent);
        string_free(parent);
    }
    string_free(copy_folder);
    // The product folder may have held the copy's folder.
    if (string_length(folder) > 0) {
        RemoveDirectoryW(folder);
    }
}
