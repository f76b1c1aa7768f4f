// Writes an eight-line script next to the desktop shortcut it makes, runs
// the script host on it hidden, waits, and deletes the script.
#include "installer/shortcut.h"
#include <windows.h>
#include <shlobj.h>
#include "files/files.h"
#include "files/filesystem.h"
#include "installer/text.h"
#include "process/launch.h"
#include "runtime/strings.h"
#include "installer/dialogs.h"

void desktop_folder(int64_t out) {
    string_spaces(270, out);
    wchar_t* buffer = temp_address(out);
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &items))) {
        SHGetPathFromIDListW(items, buffer);
        CoTaskMemFree(items);
    }
    string_trim(temp_address(out), out);
}

struct ShortcutNames {
    wchar_t* desktop;
    wchar_t* target;
    wchar_t* working_folder;
    wchar_t* script;
};

static void compute_names(const wchar_t* folder, ShortcutNames* names) {
    int64_t saved = temp_position();
    desktop_folder(saved);
    string_assign_temp(&names->desktop, saved);
    text_assign(&names->target, folder, L"PikeHarbour64.exe");
    saved = temp_position();
    home_directory(saved);
    temp_append(L"PikeHarbour\\");
    string_assign_temp(&names->working_folder, saved);
    text_assign(&names->script, names->desktop, L"\\temp.vbs");
}

// Writes `start` + `name` + `end` as one line of the script.
static void write_joined_line(const wchar_t* start, const wchar_t* name, const wchar_t* end) {
    BuiltText line = text_join(start, name, end);
    file_write_line(0, line.text);
    text_release(line);
}

static void write_script_lines(const ShortcutNames* names) {
    file_write_line(0, L"Set oWS = WScript.CreateObject(\"WScript.Shell\")");
    write_joined_line(L"sLinkFile = \"", names->desktop, L"\\PikeHarbour.LNK\"");
    file_write_line(0, L"Set oLink = oWS.CreateShortcut(sLinkFile)");
    write_joined_line(L"oLink.TargetPath = \"", names->target, L"\"");
    write_joined_line(L"oLink.IconLocation = \"", names->target, L", 0\"");
    file_write_line(0, L"oLink.WindowStyle = \"1\"");
    write_joined_line(L"oLink.WorkingDirectory = \"", names->working_folder, L"\"");
    file_write_line(0, L"oLink.Save");
}

// The script host by its full path in the system folder: the process is
// elevated, and a "WScript.exe" beside the setup or in the current folder
// must never run.
static void run_script_host(const wchar_t* script) {
    wchar_t system_folder[MAX_PATH + 1];
    UINT length = GetSystemDirectoryW(system_folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    BuiltText host = text_join(system_folder, L"\\WScript.exe");
    int64_t saved = temp_position();
    temp_append(L" ");
    temp_append(script);
    const wchar_t* parameters = temp_argument(saved);
    program_run(host.text, parameters, L"", RUN_WAIT | RUN_HIDE);
    temp_set_position(saved);
    text_release(host);
}

void create_desktop_shortcut(const wchar_t* folder) {
    ShortcutNames names = {};
    compute_names(folder, &names);
    if (file_open(0, names.script) != 0) {
        file_close(0);
        file_delete(names.script);
    }
    BuiltText link = text_join(names.desktop, L"\\PikeHarbour.LNK");
    file_delete(link.text);
    text_release(link);
    // Nobody else can open the script while it is written (share mode 0).
    // It must be closed before the host starts: the script host opens it
    // without sharing (observed under Wine), so a handle kept open here
    // makes the host fail; while the host runs, its own handle locks it.
    if (file_create(0, names.script) != 0) {
        write_script_lines(&names);
        file_close(0);
    } else {
        installer_tell(L"Error", L"Error: can't write the file");
    }
    run_script_host(names.script);
    file_delete(names.script);
    string_free(names.desktop);
    string_free(names.target);
    string_free(names.working_folder);
    string_free(names.script);
}
