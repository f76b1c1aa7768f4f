// Shared steps of the end-to-end scenarios: a sandbox per scenario, the
// page checks and the usual ways through the pages.
#pragma once
#include <string>
#include <vector>
#include "installer_texts.h"
#include "setup_driver.h"
#include "support/wide_text.h"

// Folders on C: of the sandbox prefix for one scenario.
struct Sandbox {
    std::wstring root;           // C:\e2e\<name>\ (with the backslash)
    std::wstring appdata;        // root + AppData
    std::wstring program_files;  // root + Programs (stands for "Program Files")
    std::wstring settings_file;  // appdata\PikeHarbour\PikeHarbour.ini
};

Sandbox sandbox_make(const std::string& name);
SetupEnvironment sandbox_environment(const Sandbox& box);

// Ends a setup a failed assertion left running.
struct Running : Setup {
    ~Running() { setup_kill(*this); }
};

std::wstring setup_exe();
const std::string& product_bytes();
std::wstring desktop_folder();
std::wstring shortcut_path();
std::wstring backup_copy_path();

enum Page { LANGUAGE_PAGE, MAINTENANCE_PAGE, AGREEMENT_PAGE, FOLDER_PAGE };
extern const char* const page_names[4];

// The visible controls of each page, in the order of Control.
std::vector<Control> page_controls(Page page);
bool page_shown(Setup& setup, Page page);
// Waits for the page and checks its visible controls and every caption.
void expect_page(Setup& setup, Page page, Language language);
// The rich text's paragraphs end in CR (and CR LF through WM_GETTEXT);
// the installer gave them as LF.
std::wstring as_line_feeds(const std::wstring& text);

// Checks the next message box's title and text exactly, saves a
// screenshot of it when asked, and answers it.
void expect_box(Setup& setup, const std::wstring& title, const std::wstring& text, int answer,
                const std::string& shot = "");
// Proves that no message box came up since the last one: asks the cancel
// question on the folder page and refuses it.
void expect_no_box(Setup& setup, Language language);

void choose_language(Setup& setup, Language language);
// Waits for the agreement page, accepts and goes on to the folder page.
void accept_agreement(Setup& setup, Language language);
// From the language page of a fresh start to the folder page.
void walk_to_folder_page(Setup& setup, Language language);
// From the folder page: the install button, M1 Yes, M2 OK.
void press_install(Setup& setup, Language language);
void expect_success_and_exit(Setup& setup, Language language);
// From the folder page of a setup that found the installation: the
// reinstall warning is refused (screenshot `shot`) and the folder page
// stays; the second time it is accepted and the installation succeeds.
void install_over_reinstall_warning(Setup& setup, Language language, const std::string& shot);

// A fresh install with the defaults, driven by messages, to its end.
void install_defaults(const Sandbox& box, Language language);
// From a fresh start that finds the installation to the maintenance page.
void open_maintenance_page(Running& setup, const Sandbox& box, Language language);
