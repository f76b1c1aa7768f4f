// The installer window: every page's controls, the event loop and the
// dispatch of control events to the page handlers.
#include "installer/handlers.h"
#include "installer/integrity/integrity_check_thread.h"
#include "installer/state.h"
#include "installer/text.h"
#include "installer/pages/texts.h"
#include "installer/pages/window_flags.h"
#include "runtime/registry.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/message_box.h"
#include "toolkit/windows.h"

// Rows 1-4: the folder page, created first and hidden together. The path
// field is made right after the tree: Tab follows the creation order, and
// on screen the field sits under the tree, above the buttons.
static void create_folder_page() {
    InstallerState& s = g_installer;
    s.folder_tree = folder_tree_create(ANY_ID, 40, 40, 350, 460, L"", SETUP_TREE_FLAGS);
    s.path_field = text_field_create(ANY_ID, 40, 520, 720, 20, L"");
    s.install_button = button_create(ANY_ID, 580, 560, 80, 30, L"");
    s.folder_cancel_button = button_create(ANY_ID, 680, 560, 80, 30, L"");
    focus_set_page_buttons(s.install_button, s.folder_cancel_button);
    control_hide(s.folder_tree, 1);
    control_hide(s.install_button, 1);
    control_hide(s.folder_cancel_button, 1);
    control_hide(s.path_field, 1);
}

// Rows 5-10: the agreement view and its panel (built when first shown).
static void create_agreement_page() {
    InstallerState& s = g_installer;
    s.agreement_view = text_view_create(ANY_ID, 200, 120, 400, 270, SETUP_AGREEMENT_FLAGS);
    s.agreement_panel = container_create(ANY_ID, 200, 400, 400, 100, CONTAINER_CLIENT_EDGE);
    s.accept_option = option_create(ANY_ID, 30, 10, 280, 20, L"");
    s.decline_option = option_create(ANY_ID, 30, 30, 280, 20, L"");
    s.agreement_next_button = button_create(ANY_ID, 200, 60, 80, 30, L"");
    s.agreement_cancel_button = button_create(ANY_ID, 300, 60, 80, 30, L"");
    focus_set_page_buttons(s.agreement_next_button, s.agreement_cancel_button);
    control_list_close();
    control_hide(s.agreement_view, 1);
    control_hide(s.agreement_panel, 1);
}

// Rows 11-16: the maintenance panel (built when first shown).
static void create_maintenance_page() {
    InstallerState& s = g_installer;
    s.maintenance_panel = container_create(ANY_ID, 200, 200, 400, 140, CONTAINER_CLIENT_EDGE);
    s.maintenance_label = label_create(ANY_ID, 30, 10, 300, 40, L"");
    s.reinstall_option = option_create(ANY_ID, 30, 50, 280, 20, L"");
    s.remove_option = option_create(ANY_ID, 30, 70, 280, 20, L"");
    s.maintenance_next_button = button_create(ANY_ID, 200, 100, 80, 30, L"");
    s.maintenance_cancel_button = button_create(ANY_ID, 300, 100, 80, 30, L"");
    focus_set_page_buttons(s.maintenance_next_button, s.maintenance_cancel_button);
    control_list_close();
    control_hide(s.maintenance_panel, 1);
}

// Rows 17-22: the language panel, the only page visible at start.
static void create_language_page() {
    InstallerState& s = g_installer;
    s.language_panel = container_create(ANY_ID, 200, 200, 400, 120, CONTAINER_CLIENT_EDGE);
    s.language_label = label_create(ANY_ID, 30, 10, 300, 20, TEXT_CHOOSE_LANGUAGE);
    s.german_option = option_create(ANY_ID, 30, 30, 80, 20, L"Deutsch");
    s.english_option = option_create(ANY_ID, 30, 50, 80, 20, L"English");
    s.language_next_button = button_create(ANY_ID, 200, 80, 80, 30, L"");
    s.language_cancel_button = button_create(ANY_ID, 300, 80, 80, 30, L"");
    focus_set_page_buttons(s.language_next_button, s.language_cancel_button);
    control_list_close();
    control_names_apply();
}

// A language found in the settings file is selected before the user acts.
static void preselect_language() {
    if (g_installer.language == 0) {
        control_set_state(g_installer.german_option, 1);
        on_language_option();
    }
    if (g_installer.language == 1) {
        control_set_state(g_installer.english_option, 1);
        on_language_option();
    }
}

// The agreement and maintenance pages are built when first shown: most
// starts show neither before the user acts, and the agreement view alone
// loads the rich edit library. Every page-show function calls this first.
void page_build(InstallerPage page) {
    static bool built[2];
    if (built[page]) {
        return;
    }
    built[page] = true;
    if (page == PAGE_AGREEMENT) {
        create_agreement_page();
    } else {
        create_maintenance_page();
    }
    control_names_apply();
}

struct DispatchRow {
    int64_t* control;
    void (*handler)();
};

// Tested in this order; the first row naming the control wins.
static const DispatchRow dispatch_table[] = {
    {&g_installer.german_option, on_language_option},
    {&g_installer.english_option, on_language_option},
    {&g_installer.accept_option, on_agreement_option},
    {&g_installer.decline_option, on_agreement_option},
    {&g_installer.install_button, install_product},
    {&g_installer.language_next_button, on_language_next},
    {&g_installer.maintenance_next_button, on_maintenance_next},
    {&g_installer.agreement_next_button, on_agreement_next},
    {&g_installer.language_cancel_button, on_cancel},
    {&g_installer.maintenance_cancel_button, on_cancel},
    {&g_installer.agreement_cancel_button, on_cancel},
    {&g_installer.folder_cancel_button, on_cancel},
    {&g_installer.folder_tree, on_folder_tree},
};

static void dispatch_control_event(int64_t control) {
    for (const DispatchRow& row : dispatch_table) {
        if (*row.control == control) {
            row.handler();
            return;
        }
    }
}

// Runs until the close box is used; handlers may end the program inside.
static void run_event_loop() {
    do {
        g_installer.last_event = event_wait();
        if (g_installer.last_event == EVENT_GADGET) {
            dispatch_control_event(event_control());
        }
    } while (g_installer.last_event != EVENT_CLOSE_WINDOW);
}

void run_installer_window() {
    string_assign(&g_installer.install_folder, L"");
    string_assign(&g_installer.backup_folder, L"");
    g_installer.language = -1;
    string_assign(&g_installer.agreement_text_de, AGREEMENT_TEXT_DE);
    string_assign(&g_installer.agreement_text_en, AGREEMENT_TEXT_EN);

    // Opened hidden and shown once the first page is complete: picture,
    // panel, texts and any language found in the settings file.
    g_installer.main_window = window_open(ANY_ID, 100, 200, 800, 610,
                                          L"PikeHarbour Installation",
                                          SETUP_WINDOW_FLAGS | WINDOW_HIDDEN);
    install_background();
    create_folder_page();
    create_language_page();
    locate_installation();
    preselect_language();
    window_show(g_installer.main_window);
    // After the window is shown: the page's tab stops count only visible
    // controls.
    focus_page_shown(g_installer.language_panel);
    // The payload check runs while the user reads the first page; the
    // install step waits for it (integrity_wait_for_install).
    integrity_check_start();
    run_event_loop();
}

void on_cancel() {
    const wchar_t* question = text_pick(L"Möchten SIe die Pikeharbour Installation verlassen?",
                                        L"Do you want to exit the Pikeharbour installation ?");
    if (message_box(L"PikeHarbour Installation", question, MB_YESNO) == IDYES) {
        installer_exit();
    }
}
