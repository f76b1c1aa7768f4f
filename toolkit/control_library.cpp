// Start and end of the control library and the common-controls step.
#include <windows.h>
#include <commctrl.h>
#include "toolkit/control_core.h"
#include "runtime/libraries.h"

void control_registry_create();
void control_list_set_default_font(HFONT font);
void brush_cache_start();
void folder_tree_services_end();

static constexpr DWORD COMMON_CONTROL_CLASSES = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS |
                                                ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                                ICC_INTERNET_CLASSES;

static void init_common_controls() {
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof(classes);
    classes.dwICC = COMMON_CONTROL_CLASSES;
    InitCommonControlsEx(&classes);
}

void control_library_start() {
    brush_cache_start();
    control_list_set_default_font(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    control_registry_create();
    control_current_parent();
    init_common_controls();
}

void control_library_end() {
    ObjectTable* controls = control_registry();
    if (controls) {
        registry_release_all(controls);
    }
    folder_tree_services_end();
}

// COM is started where it is used (the folder tree, the shell's launch,
// the shortcut): under Wine its start made the hidden apartment window and
// about 100 server requests before the first page.
void common_controls_start() {
    init_common_controls();
}
