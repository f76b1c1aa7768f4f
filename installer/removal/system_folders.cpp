// Folders removal never takes away: the shell's folders the system needs.
#include "installer/removal/system_folders.h"
#include <windows.h>
#include <shlobj.h>
#include "files/filesystem.h"
#include "runtime/strings.h"

// `known` (a shell folder) names `folder` (no trailing backslash); with
// `parent`, the folder above `known` does (the folder of the profiles).
static bool names_folder(int32_t id, const wchar_t* folder, bool parent) {
    TempScope known;
    shell_folder(id, known.start);
    string_trim_char(known.text(), L"\\", known.start);
    if (parent) {
        wchar_t* child = nullptr;
        string_assign_temp(&child, known.start);
        path_directory_part(child, known.start);
        string_trim_char(known.text(), L"\\", known.start);
        string_free(child);
    }
    return string_length(known.text()) > 2 &&
           CompareStringOrdinal(known.text(), -1, folder, -1, TRUE) == CSTR_EQUAL;
}

// The folder is one the system needs: a drive root, the Windows folder, a
// program-files root, the folder of the profiles or a profile. Removal
// never takes such a folder away, even when it is empty.
bool system_folder_is(const wchar_t* folder) {
    wchar_t* trimmed = nullptr;
    int64_t saved = temp_position();
    string_trim_char(folder, L"\\", saved);
    string_assign_temp(&trimmed, saved);
    bool system = string_length(trimmed) <= 2 || names_folder(CSIDL_PROFILE, trimmed, true);
    static const int32_t folders[] = {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES,
                                      CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,
                                      CSIDL_PROGRAM_FILES_COMMON, CSIDL_COMMON_APPDATA};
    for (int32_t id : folders) {
        system = system || names_folder(id, trimmed, false);
    }
    string_free(trimmed);
    return system;
}
