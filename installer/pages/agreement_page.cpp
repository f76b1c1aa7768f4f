// The agreement page: the user agreement in the chosen language, to be
// accepted before the folder page.
#include "installer/pages/pages.h"
#include "installer/pages/window_flags.h"
#include "installer/text.h"
#include "runtime/registry.h"
#include "toolkit/controls.h"
#include "toolkit/windows.h"

#define PRODUCT_WEB_SITE L"www.pikeharbour.example"

#define AGREEMENT_TEXT_DE                                                                    \
    L"Nutzungsvereinbarung\n\nDieses Programm wird in der vorliegenden Form zur Verfügung " \
    L"gestellt. Velmar-Consulting ist nicht verantwortlich für irgendwelche Schäden, die "    \
    L"der Tamsel's PikeHarbour Software zugeschrieben werden. Sie werden gewarnt, dass Sie " \
    L"Tamsel's Pikeharbour auf eigene Gefahr verwenden. Es werden keinerlei Garantien "      \
    L"durch Velmar-Consulting oder einen Vertreter gewährt.\n\nDie Benutzung der Tamsel's "  \
    L"Pikeharbour Software ist Freeware und darf kostenfrei von " PRODUCT_WEB_SITE           \
    L" geladen und verwendet werden. Sie dürfen die Inhalte der Pikeharbourdateien nicht "   \
    L"verändern oder zu kommerziellen Zwecken nutzen.\n\nVelmar-Consulting behält sich "     \
    L"alle Rechte an diesem Programm und seinen Inhalten vor."

#define AGREEMENT_TEXT_EN                                                                    \
    L"User Agreement\n\nThis program is provided 'AS IS'. Velmar-Consulting is Not "         \
    L"responsible for any damages attributed to Tamsel's PikeHarbour. You are warned that "  \
    L"you use Tamsel's Pikeharbour at your own risk. No warranties are implied Or given by " \
    L"Velmar-Consulting or any representative.\n\nThe Tamsel's Pikeharbour software is "     \
    L"freeware and may be downloaded installed and uesed free of charge from "               \
    PRODUCT_WEB_SITE L" . You may not modify or change the contents of the original "        \
    L"programm or use Tamsel's Pikeharbour for commercial purposes.\n\nVelmar-Consulting "   \
    L"reserves all rights to this programme and contents."

struct AgreementPage {
    int64_t view;
    int64_t panel;
    int64_t accept_option;
    int64_t decline_option;
    int64_t next_button;
    int64_t cancel_button;
};

static AgreementPage s_page;

// Rows 5-10 of the window's controls, made when the page is first shown:
// most starts show it only after the user acts, and the view alone loads
// the rich edit library.
static void build_page() {
    AgreementPage& p = s_page;
    p.view = text_view_create(ANY_ID, 200, 120, 400, 270, SETUP_AGREEMENT_FLAGS);
    p.panel = container_create(ANY_ID, 200, 400, 400, 100, CONTAINER_CLIENT_EDGE);
    p.accept_option = option_create(ANY_ID, 30, 10, 280, 20, L"");
    p.decline_option = option_create(ANY_ID, 30, 30, 280, 20, L"");
    p.next_button = button_create(ANY_ID, 200, 60, 80, 30, L"");
    p.cancel_button = button_create(ANY_ID, 300, 60, 80, 30, L"");
    focus_set_page_buttons(p.next_button, p.cancel_button);
    control_list_close();
    control_hide(p.view, 1);
    control_hide(p.panel, 1);
    pages_name_controls();
}

// Entering the page always starts with "decline" selected.
void agreement_page_show() {
    AgreementPage& p = s_page;
    if (p.view == 0) {
        build_page();
    }
    control_hide(p.view, 0);
    control_hide(p.panel, 0);
    control_set_state(p.decline_option, 1);
    control_disable(p.next_button, 1);
    control_set_text(p.view, text_pick(AGREEMENT_TEXT_DE, AGREEMENT_TEXT_EN));
    control_set_text(p.accept_option, text_pick(L"Ich akzeptiere die Vereinbarung",
                                                L"I accept the terms in the Agreement"));
    control_set_text(p.decline_option, text_pick(L"Ich lehne die Vereinbarung ab",
                                                 L"I do not accept the terms in the Agreement"));
    control_set_text(p.next_button, text_pick(L"Weiter", L"Next"));
    control_set_text(p.cancel_button, text_pick(L"Abbrechen", L"Cancel"));
    focus_page_shown(p.panel);
}

static void on_agreement_option() {
    int enable = control_get_state(s_page.accept_option) != 0;
    control_disable(s_page.next_button, !enable);
}

static void on_agreement_next() {
    if (!control_get_state(s_page.accept_option)) {
        return;
    }
    control_hide(s_page.panel, 1);
    control_hide(s_page.view, 1);
    folder_page_show();
}

static const PageRow ROWS[] = {
    {&s_page.accept_option, on_agreement_option},
    {&s_page.decline_option, on_agreement_option},
    {&s_page.next_button, on_agreement_next},
    {&s_page.cancel_button, pages_ask_cancel},
};

bool agreement_page_event(int64_t control) {
    return page_dispatch(ROWS, control);
}

void agreement_page_name_controls() {
    if (s_page.view != 0) {
        control_set_name(s_page.view, text_pick(L"Lizenzvereinbarung", L"License agreement"));
    }
}
