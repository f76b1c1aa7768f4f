// The folder page: the folder tree and the path field, then the install
// button.
#include "installer/install/install.h"
#include "installer/pages/pages.h"
#include "installer/pages/window_flags.h"
#include "installer/text.h"
#include "runtime/registry.h"
#include "runtime/strings.h"
#include "toolkit/controls.h"
#include "toolkit/windows.h"

struct FolderPage {
    int64_t tree;
    int64_t path_field;
    int64_t install_button;
    int64_t cancel_button;
};

static FolderPage s_page;

// Rows 1-4 of the window's controls, made first and hidden together. The
// path field is made right after the tree: Tab follows the creation order,
// and on screen the field sits under the tree, above the buttons.
void folder_page_create() {
    FolderPage& p = s_page;
    p.tree = folder_tree_create(ANY_ID, 40, 40, 350, 460, L"", SETUP_TREE_FLAGS);
    p.path_field = text_field_create(ANY_ID, 40, 520, 720, 20, L"");
    p.install_button = button_create(ANY_ID, 580, 560, 80, 30, L"");
    p.cancel_button = button_create(ANY_ID, 680, 560, 80, 30, L"");
    focus_set_page_buttons(p.install_button, p.cancel_button);
    control_hide(p.tree, 1);
    control_hide(p.install_button, 1);
    control_hide(p.cancel_button, 1);
    control_hide(p.path_field, 1);
}

void folder_page_propose(const wchar_t* start, const wchar_t* proposal) {
    control_set_text(s_page.tree, start);
    control_set_text(s_page.path_field, proposal);
}

void folder_page_show() {
    FolderPage& p = s_page;
    control_hide(p.tree, 0);
    control_hide(p.install_button, 0);
    control_hide(p.cancel_button, 0);
    control_hide(p.path_field, 0);
    control_set_text(p.install_button, text_pick(L"Weiter", L"Next"));
    control_set_text(p.cancel_button, text_pick(L"Abbrechen", L"Cancel"));
    focus_page_shown(p.tree);
}

RunRequest folder_page_request(wchar_t** folder) {
    int64_t at = temp_position();
    control_get_text(s_page.path_field, at);
    string_assign_temp(folder, at);
    return RunRequest{*folder, g_session.language, false};
}

// Every tree event copies the tree's folder into the path field.
static void on_folder_tree() {
    TempScope path;
    control_get_text(s_page.tree, path.start);
    control_set_text(s_page.path_field, path.text());
}

static void on_install() {
    wchar_t* folder = nullptr;
    install_product(folder_page_request(&folder));
    string_free(folder);
}

static const PageRow ROWS[] = {
    {&s_page.install_button, on_install},
    {&s_page.cancel_button, pages_ask_cancel},
    {&s_page.tree, on_folder_tree},
};

bool folder_page_event(int64_t control) {
    return page_dispatch(ROWS, control);
}

void folder_page_name_controls() {
    if (s_page.tree != 0) {
        control_set_name(s_page.tree, text_pick(L"Ordner", L"Folder"));
        control_set_name(s_page.path_field,
                         text_pick(L"Installationsordner", L"Installation folder"));
    }
}
