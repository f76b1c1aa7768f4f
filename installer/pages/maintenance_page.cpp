// The maintenance page, shown when an installation was found: install
// again (on to the agreement) or remove.
#include "installer/options.h"
#include "installer/pages/pages.h"
#include "installer/removal/removal.h"
#include "installer/text.h"
#include "runtime/registry.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"
#include "toolkit/windows.h"

struct MaintenancePage {
    int64_t panel;
    int64_t label;
    int64_t reinstall_option;
    int64_t remove_option;
    int64_t next_button;
    int64_t cancel_button;
};

static MaintenancePage s_page;

// Rows 11-16 of the window's controls, made when the page is first shown:
// most starts never show it.
static void build_page() {
    MaintenancePage& p = s_page;
    p.panel = container_create(ANY_ID, 200, 200, 400, 140, CONTAINER_CLIENT_EDGE);
    p.label = label_create(ANY_ID, 30, 10, 300, 40, L"");
    p.reinstall_option = option_create(ANY_ID, 30, 50, 280, 20, L"");
    p.remove_option = option_create(ANY_ID, 30, 70, 280, 20, L"");
    p.next_button = button_create(ANY_ID, 200, 100, 80, 30, L"");
    p.cancel_button = button_create(ANY_ID, 300, 100, 80, 30, L"");
    focus_set_page_buttons(p.next_button, p.cancel_button);
    control_list_close();
    control_hide(p.panel, 1);
    pages_name_controls();
}

// Started with /REMOVE (the Apps & features entry's command) the page comes
// up with "remove" selected.
void maintenance_page_show() {
    MaintenancePage& p = s_page;
    if (p.panel == 0) {
        build_page();
    }
    control_hide(p.panel, 0);
    control_set_state(g_options.remove_requested ? p.remove_option : p.reinstall_option, 1);
    control_set_text(p.label,
                     text_pick(L"Pikeharbour ist bereits installiert. Sie können erneut "
                               L"installieren oder die Software entfernen!",
                               L"Pikeharbour is already installed. You can reinstall or "
                               L"remove the software!"));
    control_set_text(p.reinstall_option, text_pick(L"Pikeharbour Software NEU installieren",
                                                   L"Re-install Pikeharbour Software"));
    control_set_text(p.remove_option, text_pick(L"Pikeharbour Software entfernen",
                                                L"Remove Pikeharbour Software"));
    control_set_text(p.next_button, text_pick(L"Weiter", L"Next"));
    control_set_text(p.cancel_button, text_pick(L"Abbrechen", L"Cancel"));
    focus_page_shown(p.panel);
}

// After a refused removal the remove option is still the selected one of
// its group, so the reinstall test finds nothing and the page stays.
static void on_maintenance_next() {
    MaintenancePage& p = s_page;
    if (control_get_state(p.remove_option)) {
        wchar_t* folder = nullptr;
        remove_product(folder_page_request(&folder));
        string_free(folder);
    }
    if (control_get_state(p.reinstall_option)) {
        control_hide(p.panel, 1);
        agreement_page_show();
    }
}

static const PageRow ROWS[] = {
    {&s_page.next_button, on_maintenance_next},
    {&s_page.cancel_button, pages_ask_cancel},
};

bool maintenance_page_event(int64_t control) {
    return page_dispatch(ROWS, control);
}
