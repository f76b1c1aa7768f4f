// What screen readers call the controls that show no caption of their own,
// in the page's language.
#include "installer/handlers.h"
#include "installer/state.h"
#include "installer/text.h"
#include "toolkit/controls.h"

struct NameRow {
    int64_t* control;
    const wchar_t* german;
    const wchar_t* english;
};

// The language page's buttons have no caption until a language is chosen:
// until then they are named in both languages.
static const NameRow NAME_ROWS[] = {
    {&g_installer.folder_tree, L"Ordner", L"Folder"},
    {&g_installer.path_field, L"Installationsordner", L"Installation folder"},
    {&g_installer.agreement_view, L"Lizenzvereinbarung", L"License agreement"},
};

// Called when the language page is made, when a language is chosen and
// when a page is built; a control not made yet is skipped.
void control_names_apply() {
    InstallerState& s = g_installer;
    bool chosen = s.language >= 0;
    control_set_name(s.language_next_button, chosen ? nullptr : L"Weiter / Next");
    control_set_name(s.language_cancel_button, chosen ? nullptr : L"Abbruch / Cancel");
    for (const NameRow& row : NAME_ROWS) {
        if (*row.control) {
            control_set_name(*row.control, text_pick(row.german, row.english));
        }
    }
}
