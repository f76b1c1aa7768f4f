// The installer window: its pages, the event loop and the dispatch of
// control events to the page that owns the control.
#include "installer/pages/window.h"
#include "installer/integrity/integrity_check_thread.h"
#include "installer/pages/pages.h"
#include "installer/pages/window_flags.h"
#include "installer/session.h"
#include "installer/text.h"
#include "runtime/registry.h"
#include "runtime/strings.h"
#include "toolkit/events.h"
#include "toolkit/message_box.h"
#include "toolkit/windows.h"

static int64_t s_window;

int64_t installer_window() {
    return s_window;
}

bool page_dispatch(const PageRow* rows, size_t count, int64_t control) {
    for (size_t i = 0; i < count && control != 0; i++) {
        if (*rows[i].control == control) {
            rows[i].handler();
            return true;
        }
    }
    return false;
}

// Called when the language page is made, when a language is chosen and
// when a page is built; a page not built yet names nothing.
void pages_name_controls() {
    language_page_name_controls();
    folder_page_name_controls();
    agreement_page_name_controls();
}

void pages_ask_cancel() {
    const wchar_t* question = text_pick(L"Möchten SIe die Pikeharbour Installation verlassen?",
                                        L"Do you want to exit the Pikeharbour installation ?");
    if (message_box(L"PikeHarbour Installation", question, MB_YESNO) == IDYES) {
        installer_exit();
    }
}

static void dispatch_control_event(int64_t control) {
    if (!language_page_event(control) && !maintenance_page_event(control) &&
        !agreement_page_event(control)) {
        folder_page_event(control);
    }
}

// Runs until the close box is used; handlers may end the program inside.
static void run_event_loop() {
    int64_t event = 0;
    do {
        event = event_wait();
        if (event == EVENT_GADGET) {
            dispatch_control_event(event_control());
        }
    } while (event != EVENT_CLOSE_WINDOW);
}

// The folder tree starts in program files; the path field proposes the
// product's folder there.
static void propose_folder() {
    wchar_t* proposal = nullptr;
    installation_proposed_folder(&g_session.found, &proposal);
    folder_page_propose(g_session.found.program_files, proposal);
    string_free(proposal);
}

void run_installer_window() {
    // Opened hidden and shown once the first page is complete: picture,
    // panel, texts and any language found in the settings file.
    s_window = window_open(ANY_ID, 100, 200, 800, 610, L"PikeHarbour Installation",
                           SETUP_WINDOW_FLAGS | WINDOW_HIDDEN);
    install_background(s_window);
    g_session.language = -1;
    folder_page_create();
    language_page_create();
    g_session.found = locate_installation();
    g_session.language = g_session.found.language;
    propose_folder();
    language_page_preselect(g_session.language);
    window_show(s_window);
    // After the window is shown: the page's tab stops count only visible
    // controls.
    focus_page_shown(language_page_panel());
    // The payload check runs while the user reads the first page; the
    // install step waits for it (integrity_wait_for_install).
    integrity_check_start();
    run_event_loop();
}
