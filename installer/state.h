// The installer's global state and its exit sequence.
#pragma once
#include <windows.h>
#include <stdint.h>

struct InstallerState {
    int64_t main_window;
    wchar_t* install_folder;
    int64_t language;           // -1 none, 0 German, anything else English
    int64_t installed;
    wchar_t* settings_folder;
    wchar_t* backup_folder;
    wchar_t* agreement_text_de;
    wchar_t* agreement_text_en;
    wchar_t* own_path;
    int64_t last_event;
    int32_t shortcut_made;      // the last installation's shortcut read back intact

    // Unattended mode (parameters after "-admin").
    int32_t unattended;
    int32_t unattended_remove;
    int64_t unattended_language;    // -2 when not given
    wchar_t* unattended_target;     // /D= value, null when not given
    wchar_t* unattended_log;        // /LOG= value, null when not given
    int32_t allow_downgrade;        // /ALLOWDOWNGRADE
    // /REMOVE without /S (the Apps & features entry's command): the
    // maintenance page comes up with "remove" selected.
    int32_t remove_requested;
    // /CLOSEAPPLICATIONS: a running product is asked to close (unattended).
    int32_t close_applications;
    int32_t product_close;          // ProductClose of the last check
    int32_t product_closed_here;    // it closed processes of this session

    int64_t folder_tree;
    int64_t install_button;
    int64_t folder_cancel_button;
    int64_t path_field;
    int64_t agreement_view;
    int64_t agreement_panel;
    int64_t accept_option;
    int64_t decline_option;
    int64_t agreement_next_button;
    int64_t agreement_cancel_button;
    int64_t maintenance_panel;
    int64_t maintenance_label;
    int64_t reinstall_option;
    int64_t remove_option;
    int64_t maintenance_next_button;
    int64_t maintenance_cancel_button;
    int64_t language_panel;
    int64_t language_label;
    int64_t german_option;
    int64_t english_option;
    int64_t language_next_button;
    int64_t language_cancel_button;
};

extern InstallerState g_installer;

// File number of the unattended log; the procedures use file number 0.
constexpr int64_t LOG_FILE_ID = 1;

[[noreturn]] void installer_exit();
void run_installer_window();
