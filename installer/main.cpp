// The installer's main program: chooses the launcher or the installer role
// from the first command-line parameter.
#include <windows.h>
#include <shellapi.h>
#include "installer/state.h"
#include "process/command_line.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

// Started by the user: start an elevated copy with "-admin" and end. The
// result of the relaunch is not examined: a refused prompt ends the
// launcher the same way as a successful start.
static void run_launcher() {
    int64_t saved = temp_position();
    program_file_name(saved);
    string_assign_temp(&g_installer.own_path, saved);

    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.lpVerb = L"runas";
    info.lpFile = g_installer.own_path;
    info.lpParameters = L"-admin";
    info.nShow = SW_SHOW;
    ShellExecuteExW(&info);

    delay_ms(500);
    runtime_end();
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The setup runs elevated, usually from a downloads folder: never load a
    // library planted beside it.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    runtime_start();

    int64_t saved = temp_position();
    program_parameter(0, saved);
    int installer_role = string_equal(temp_address(saved), L"-admin");
    temp_set_position(saved);

    if (!installer_role) {
        run_launcher();
    }
    run_installer_window();
    installer_exit();
}
