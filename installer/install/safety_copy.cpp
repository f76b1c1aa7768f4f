// The safety copy: the setup program copied where the Apps & features
// entry starts it for a removal, in the profile (one user) or in a
// protected folder under program files (all users).
#include "installer/install/safety_copy.h"
#include <windows.h>
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "installer/all_users/all_users.h"
#include "installer/all_users/install_scope.h"
#include "installer/dialogs.h"
#include "installer/error_text.h"
#include "installer/install/create_path.h"
#include "installer/names.h"
#include "installer/session.h"
#include "installer/text.h"
#include "process/command_line.h"
#include "process/launch.h"
#include "runtime/strings.h"

static const wchar_t SETUP_TITLE[] = L"Pikeharbour Setup";
static const wchar_t ERROR_TITLE[] = L"PikeHarbour Setup Error";

static void assign_own_path(wchar_t** variable) {
    int64_t saved = temp_position();
    program_file_name(saved);
    string_assign_temp(variable, saved);
}

// The setup program is copied only when it runs under its own name and not
// from the backup folder itself.
static bool safety_copy_needed(const wchar_t* own) {
    wchar_t* name = nullptr;
    wchar_t* own_folder = nullptr;
    wchar_t* backup = nullptr;
    int64_t saved = temp_position();
    string_right(own, 21, saved);
    string_lower(temp_address(saved), saved);
    string_assign_temp(&name, saved);
    saved = temp_position();
    path_directory_part(own, saved);
    string_lower(temp_address(saved), saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(&own_folder, saved);
    saved = temp_position();
    string_lower(g_session.backup_folder, saved);
    string_trim(temp_address(saved), saved);
    string_assign_temp(&backup, saved);
    bool needed = string_equal(name, L"pikeharbour_setup.exe") && !string_equal(own_folder, backup);
    string_free(name);
    string_free(own_folder);
    string_free(backup);
    return needed;
}

// The Apps & features entry starts the safety copy: it names only a copy
// that this run wrote, or this very setup running from the backup folder.
static bool s_copy_ready;

bool safety_copy_ready() {
    return s_copy_ready;
}

// The profile's SetupBackup folder of a per-user installation. A failure
// is told and the installation goes on, without an Apps & features entry.
static bool make_profile_backup_folder() {
    wchar_t* home = nullptr;
    int64_t saved = temp_position();
    home_directory(saved);
    string_assign_temp(&home, saved);
    bool made = create_path(home, SETUP_COPY_FOLDER) != 0;
    if (made) {
        text_assign(&g_session.backup_folder, home, SETUP_COPY_FOLDER);
    } else {
        installer_tell(ERROR_TITLE, L"'PikeHarbour_Setup.exe' could not create the Setupdir!");
    }
    string_free(home);
    return made;
}

// False only when the all-users copy's folder is refused: the installation
// does not go on without a copy that users cannot replace.
bool safety_copy_make() {
    s_copy_ready = false;
    if (install_scope_all_users()) {
        if (!all_users_copy_folder(&g_session.backup_folder)) {
            return false;
        }
    } else if (!make_profile_backup_folder()) {
        return true;
    }
    wchar_t* own = nullptr;
    assign_own_path(&own);
    if (!safety_copy_needed(own)) {
        BuiltText target = text_join(g_session.backup_folder, SETUP_FILE);
        s_copy_ready = CompareStringOrdinal(own, -1, target.text, -1, TRUE) == CSTR_EQUAL;
        text_release(target);
    } else {
        BuiltText target = text_join(g_session.backup_folder, SETUP_FILE);
        // The profile is the user's: the copy is created new, never written
        // over a link put at its name.
        int64_t copied = file_copy_new(own, target.text);
        DWORD error = GetLastError();
        text_release(target);
        s_copy_ready = copied != 0;
        if (copied == 0) {
            error_log(L"Safety copy", g_session.backup_folder, error);
            BuiltText text = text_join(
                L"'PikeHarbour_Setup.exe' could not create a save copy in '",
                g_session.backup_folder, L"' !");
            installer_tell(ERROR_TITLE, text.text);
            text_release(text);
        }
    }
    string_free(own);
    return true;
}

void safety_copy_show_notice() {
    if (!s_copy_ready) {
        return;
    }
    BuiltText text = text_join(
        text_pick(L"Eine Sicherheitskopie dieses Setupproramms wird in diesem Verzeichnis "
                  L"gespeichert:\n\n",
                  L"A safety copy of this Setupfile is saved in the Folder:\n\n"),
        g_session.backup_folder);
    installer_tell(SETUP_TITLE, text.text);
    text_release(text);
}
