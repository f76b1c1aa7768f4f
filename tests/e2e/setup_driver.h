// Drives a running PikeHarbour_Setup.exe from outside: starts it with a
// controlled environment, finds its window, its controls by their place on
// the window, and its message boxes by their title.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <map>
#include <string>
#include "support/wait.h"
#include <vector>

// Every control of the installer window, page by page (the folder page makes
// its path field second, for the Tab order).
enum Control {
    FOLDER_TREE, INSTALL_BUTTON, FOLDER_CANCEL_BUTTON, PATH_FIELD, AGREEMENT_VIEW,
    AGREEMENT_PANEL, ACCEPT_OPTION, DECLINE_OPTION, AGREEMENT_NEXT_BUTTON,
    AGREEMENT_CANCEL_BUTTON, MAINTENANCE_PANEL, MAINTENANCE_LABEL, REINSTALL_OPTION,
    REMOVE_OPTION, MAINTENANCE_NEXT_BUTTON, MAINTENANCE_CANCEL_BUTTON, LANGUAGE_PANEL,
    LANGUAGE_LABEL, GERMAN_OPTION, ENGLISH_OPTION, LANGUAGE_NEXT_BUTTON,
    LANGUAGE_CANCEL_BUTTON, CONTROL_COUNT
};

const char* control_name(Control c);
// The scale of the setup's window (toolkit/window_scale.h), from the
// window property the toolkit sets when it is not 1.0.
int32_t setup_scale(HWND window);

struct Setup {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    HWND controls[CONTROL_COUNT]{};
};

struct SetupEnvironment {
    std::wstring appdata;        // empty: the variable is removed
    std::wstring program_files;  // empty: the variable is removed
};

// Starts `exe -admin` and waits until its language page is visible.
bool setup_start(Setup& setup, const std::wstring& exe, const SetupEnvironment& env);
// Runs `command` exactly as given, as a shortcut or a deployment tool would
// (a launcher relaunches the setup, so the window may belong to another
// process), and attaches to the process whose language page comes up.
bool setup_start_command(Setup& setup, const std::wstring& command, const SetupEnvironment& env);
// Runs `command` exactly as given to its end: its exit code, -1 when it
// did not end in time (it is then ended), -2 when it could not start.
long setup_run(const std::wstring& command, const SetupEnvironment& env,
               int timeout_ms = 60000);
// Only starts `exe -admin`, for tests that watch it come up.
bool setup_launch(Setup& setup, const std::wstring& exe, const SetupEnvironment& env);
// The same as its debugger: the calling thread gets its debug events.
bool setup_launch_debugged(Setup& setup, const std::wstring& exe, const SetupEnvironment& env);
// Waits until the language page of a launched setup is visible.
bool setup_wait_language_page(Setup& setup);
// The setup's main window if it is visible now, else null. Sends the setup
// no message, so it answers while the setup is busy.
HWND setup_visible_window(Setup& setup);
// A window's text as the window server holds it, without a message.
std::wstring window_caption(HWND window);
// Waits for the process to end; its exit code, or -1 on time-out.
long setup_wait_exit(Setup& setup, int timeout_ms = 30000);
// Ends a setup left running by a failed test.
void setup_kill(Setup& setup);

// Finds the controls of setup.window by their places; false while one of
// the language page is missing (other pages may be built later).
bool setup_find_controls(Setup& setup);
HWND setup_control(Setup& setup, Control c);
std::wstring window_text(HWND window);
bool control_visible(Setup& setup, Control c);
bool control_checked(Setup& setup, Control c);
bool control_enabled(Setup& setup, Control c);
std::wstring control_text(Setup& setup, Control c);
// The controls now visible, in the order of Control.
std::vector<Control> visible_controls(Setup& setup);
void control_click(Setup& setup, Control c);
// The control with the keyboard focus in the setup's window; CONTROL_COUNT
// when the focus is on none of them.
Control focused_control(Setup& setup);
void control_type(Setup& setup, Control c, const std::wstring& text);
// The close box: the system command a click on it sends.
void setup_close_box(Setup& setup);

struct MessageBoxSeen {
    HWND dialog = nullptr;
    std::wstring title;
    std::wstring text;
};

// The next visible message box of the setup, or an empty record.
MessageBoxSeen message_box_wait(Setup& setup, int timeout_ms = 15000);
// Presses IDOK, IDYES or IDNO and waits until the box is gone.
void message_box_answer(const MessageBoxSeen& box, int button);
// Screen rectangle of a message box button.
RECT message_box_button_rect(const MessageBoxSeen& box, int button);
