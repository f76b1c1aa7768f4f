// The installer's page handlers and procedures, called from the event loop.
#pragma once
#include <stdint.h>

// Pages whose controls are built when first shown (see window.cpp).
enum InstallerPage { PAGE_AGREEMENT, PAGE_MAINTENANCE };
void page_build(InstallerPage page);

void on_language_option();
void on_language_next();
void on_agreement_option();
void on_agreement_next();
void on_maintenance_next();
void on_folder_tree();
void on_cancel();
// Names for screen readers of the controls without a caption (control_names.cpp).
void control_names_apply();

void install_background();
void locate_installation();
// The target folder as given: the path field's text, or in unattended mode
// the /D= value or the proposal the path field would show.
void target_folder_text(int64_t out);
// The settings file's folder (one plain local path, with a trailing
// backslash); empty when there is none or the file cannot be used.
// For an all-users installation: the folder of its record.
void settings_product_folder(wchar_t** folder);
// The settings file's own folder line, whatever the installation kind.
void settings_file_folder(wchar_t** folder);
// The settings file names a folder that holds the product: only then is it
// an installation (a file left behind by an all-users one is not).
bool settings_names_product();
void install_product();
void remove_product();

// The installation from its confirmation to the settings file, without the
// success report and the end.
enum InstallOutcome {
    INSTALL_DONE, INSTALL_REFUSED, INSTALL_NO_FOLDER, INSTALL_WRITE_FAILED, INSTALL_IN_USE,
    INSTALL_NOT_RECORDED, INSTALL_SETTINGS_UNUSABLE,
    INSTALL_NEWER_INSTALLED     // unattended, without /ALLOWDOWNGRADE: nothing changed
};
InstallOutcome install_run();
void install_report_success();
// Removal's deletions and the shell notification, without its questions:
// the exit code. 6: the product is running or held (a sharing or lock
// violation), nothing removed; 4: it could not be deleted for another
// reason, nothing removed; 9: the settings file cannot be used, nothing of
// the product deleted, only what is safely ours (shortcut, entry, the
// settings file itself).
int32_t remove_run();
// The product executable is in use: the message for an installation
// (removal false) or a removal.
void report_product_in_use(bool removal);
