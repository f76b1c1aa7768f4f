// The language page: German or English, then on to the maintenance page
// (an installation was found) or the agreement.
#include "installer/pages/pages.h"
#include "installer/session.h"
#include "runtime/registry.h"
#include "toolkit/controls.h"
#include "toolkit/windows.h"

#define TEXT_CHOOSE_LANGUAGE L"Choose a language - Wählen Sie eine Sprache"

struct LanguagePage {
    int64_t panel;
    int64_t label;
    int64_t german_option;
    int64_t english_option;
    int64_t next_button;
    int64_t cancel_button;
};

static LanguagePage s_page;

// Rows 17-22 of the window's controls.
void language_page_create() {
    LanguagePage& p = s_page;
    p.panel = container_create(ANY_ID, 200, 200, 400, 120, CONTAINER_CLIENT_EDGE);
    p.label = label_create(ANY_ID, 30, 10, 300, 20, TEXT_CHOOSE_LANGUAGE);
    p.german_option = option_create(ANY_ID, 30, 30, 80, 20, L"Deutsch");
    p.english_option = option_create(ANY_ID, 30, 50, 80, 20, L"English");
    p.next_button = button_create(ANY_ID, 200, 80, 80, 30, L"");
    p.cancel_button = button_create(ANY_ID, 300, 80, 80, 30, L"");
    focus_set_page_buttons(p.next_button, p.cancel_button);
    control_list_close();
    pages_name_controls();
}

int64_t language_page_panel() {
    return s_page.panel;
}

static void on_language_option() {
    LanguagePage& p = s_page;
    if (control_get_state(p.german_option)) {
        control_set_text(p.next_button, L"Weiter");
        control_set_text(p.cancel_button, L"Abbruch");
        g_session.language = 0;
    }
    if (control_get_state(p.english_option)) {
        control_set_text(p.next_button, L"Next");
        control_set_text(p.cancel_button, L"Cancel");
        g_session.language = 1;
    }
    pages_name_controls();
}

void language_page_preselect(int64_t language) {
    if (language == 0) {
        control_set_state(s_page.german_option, 1);
        on_language_option();
    }
    if (language == 1) {
        control_set_state(s_page.english_option, 1);
        on_language_option();
    }
}

// No test that a language was chosen: without one the texts are English.
static void on_language_next() {
    // The folder tree's shell set-up is the slowest part of showing the
    // folder page; it runs on a worker while the user reads the next page.
    // Started with the window, it slowed the first page by about a tenth
    // (measured with bench/startup): two processors and one window server.
    folder_tree_prefetch();
    control_hide(s_page.panel, 1);
    if (g_session.found.installed) {
        maintenance_page_show();
        return;
    }
    agreement_page_show();
}

static const PageRow ROWS[] = {
    {&s_page.german_option, on_language_option},
    {&s_page.english_option, on_language_option},
    {&s_page.next_button, on_language_next},
    {&s_page.cancel_button, pages_ask_cancel},
};

bool language_page_event(int64_t control) {
    return page_dispatch(ROWS, control);
}

// The buttons have no caption until a language is chosen: until then
// they are named in both languages.
void language_page_name_controls() {
    bool chosen = g_session.language >= 0;
    control_set_name(s_page.next_button, chosen ? nullptr : L"Weiter / Next");
    control_set_name(s_page.cancel_button, chosen ? nullptr : L"Abbruch / Cancel");
}
