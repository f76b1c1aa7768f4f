// The four pages: moving between them by hiding and showing controls, and
// the captions each page gets in the chosen language.
#include "installer/handlers.h"
#include "installer/state.h"
#include "installer/text.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"
#include "toolkit/windows.h"

void on_language_option() {
    InstallerState& s = g_installer;
    if (control_get_state(s.german_option)) {
        control_set_text(s.language_next_button, L"Weiter");
        control_set_text(s.language_cancel_button, L"Abbruch");
        s.language = 0;
    }
    if (control_get_state(s.english_option)) {
        control_set_text(s.language_next_button, L"Next");
        control_set_text(s.language_cancel_button, L"Cancel");
        s.language = 1;
    }
    control_names_apply();
}

// Entering the agreement page always starts with "decline" selected.
static void show_agreement_page() {
    page_build(PAGE_AGREEMENT);
    InstallerState& s = g_installer;
    control_hide(s.agreement_view, 0);
    control_hide(s.agreement_panel, 0);
    control_set_state(s.decline_option, 1);
    control_disable(s.agreement_next_button, 1);
    control_set_text(s.agreement_view, text_pick(s.agreement_text_de, s.agreement_text_en));
    control_set_text(s.accept_option, text_pick(L"Ich akzeptiere die Vereinbarung",
                                                L"I accept the terms in the Agreement"));
    control_set_text(s.decline_option, text_pick(L"Ich lehne die Vereinbarung ab",
                                                 L"I do not accept the terms in the Agreement"));
    control_set_text(s.agreement_next_button, text_pick(L"Weiter", L"Next"));
    control_set_text(s.agreement_cancel_button, text_pick(L"Abbrechen", L"Cancel"));
    focus_page_shown(s.agreement_panel);
}

// Started with /REMOVE (the Apps & features entry's command) the page comes
// up with "remove" selected.
static void show_maintenance_page() {
    page_build(PAGE_MAINTENANCE);
    InstallerState& s = g_installer;
    control_hide(s.maintenance_panel, 0);
    control_set_state(s.remove_requested ? s.remove_option : s.reinstall_option, 1);
    control_set_text(s.maintenance_label,
                     text_pick(L"Pikeharbour ist bereits installiert. Sie können erneut "
                               L"installieren oder die Software entfernen!",
                               L"Pikeharbour is already installed. You can reinstall or "
                               L"remove the software!"));
    control_set_text(s.reinstall_option, text_pick(L"Pikeharbour Software NEU installieren",
                                                   L"Re-install Pikeharbour Software"));
    control_set_text(s.remove_option, text_pick(L"Pikeharbour Software entfernen",
                                                L"Remove Pikeharbour Software"));
    control_set_text(s.maintenance_next_button, text_pick(L"Weiter", L"Next"));
    control_set_text(s.maintenance_cancel_button, text_pick(L"Abbrechen", L"Cancel"));
    focus_page_shown(s.maintenance_panel);
}

// No test that a language was chosen: without one the texts are English.
void on_language_next() {
    // The folder tree's shell set-up is the slowest part of showing the
    // folder page; it runs on a worker while the user reads the next page.
    // Started with the window, it slowed the first page by about a tenth
    // (measured with bench/startup): two processors and one window server.
    folder_tree_prefetch();
    control_hide(g_installer.language_panel, 1);
    if (g_installer.installed != 0) {
        show_maintenance_page();
        return;
    }
    show_agreement_page();
}

void on_agreement_option() {
    InstallerState& s = g_installer;
    int enable = control_get_state(s.accept_option) != 0;
    control_disable(s.agreement_next_button, !enable);
}

void on_agreement_next() {
    InstallerState& s = g_installer;
    if (!control_get_state(s.accept_option)) {
        return;
    }
    control_hide(s.agreement_panel, 1);
    control_hide(s.agreement_view, 1);
    control_hide(s.folder_tree, 0);
    control_hide(s.install_button, 0);
    control_hide(s.folder_cancel_button, 0);
    control_hide(s.path_field, 0);
    control_set_text(s.install_button, text_pick(L"Weiter", L"Next"));
    control_set_text(s.folder_cancel_button, text_pick(L"Abbrechen", L"Cancel"));
    focus_page_shown(s.folder_tree);
}

// After a refused removal the remove option is still the selected one of
// its group, so the reinstall test finds nothing and the page stays.
void on_maintenance_next() {
    InstallerState& s = g_installer;
    if (control_get_state(s.remove_option)) {
        remove_product();
    }
    if (control_get_state(s.reinstall_option)) {
        control_hide(s.maintenance_panel, 1);
        show_agreement_page();
    }
}

// Every tree event copies the tree's folder into the path field.
void on_folder_tree() {
    int64_t saved = temp_position();
    control_get_text(g_installer.folder_tree, saved);
    const wchar_t* path = temp_argument(saved);
    control_set_text(g_installer.path_field, path);
    temp_set_position(saved);
}
