// The steps the scenarios share.
#include "installer_flow.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <algorithm>
#include "sandbox_files.h"
#include "screenshots.h"

const char* const page_names[4] = {"language_page", "maintenance_page", "agreement_page",
                                   "folder_page"};

Sandbox sandbox_make(const std::string& name) {
    Sandbox box;
    box.root = L"C:\\e2e\\" + std::wstring(name.begin(), name.end()) + L"\\";
    folder_remove(box.root.substr(0, box.root.size() - 1));
    box.appdata = box.root + L"AppData";
    box.program_files = box.root + L"Programs";
    box.settings_file = box.appdata + L"\\PikeHarbour\\PikeHarbour.ini";
    folder_make(box.appdata);
    folder_make(box.program_files);
    DeleteFileW(shortcut_path().c_str());
    return box;
}

SetupEnvironment sandbox_environment(const Sandbox& box) {
    return {box.appdata, box.program_files};
}

std::wstring setup_exe() {
    return unix_to_windows(PH_SETUP_EXE);
}

const std::string& product_bytes() {
    static std::string bytes = [] {
        std::string list = file_bytes(unix_to_windows(utf8(env_value(L"PH_BINARY_DIR"))) +
                                      L"\\embedded_files.txt");
        return file_bytes(unix_to_windows(list.substr(0, list.find('\n'))));
    }();
    return bytes;
}

std::wstring desktop_folder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

std::wstring shortcut_path() {
    return desktop_folder() + L"\\PikeHarbour.LNK";
}

std::wstring backup_copy_path() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, path);
    return std::wstring(path) + L"\\PikeHarbour\\SetupBackup\\PikeHarbour_Setup.exe";
}

std::vector<Control> page_controls(Page page) {
    switch (page) {
    case LANGUAGE_PAGE:
        return {LANGUAGE_PANEL, LANGUAGE_LABEL, GERMAN_OPTION, ENGLISH_OPTION,
                LANGUAGE_NEXT_BUTTON, LANGUAGE_CANCEL_BUTTON};
    case MAINTENANCE_PAGE:
        return {MAINTENANCE_PANEL, MAINTENANCE_LABEL, REINSTALL_OPTION, REMOVE_OPTION,
                MAINTENANCE_NEXT_BUTTON, MAINTENANCE_CANCEL_BUTTON};
    case AGREEMENT_PAGE:
        return {AGREEMENT_VIEW, AGREEMENT_PANEL, ACCEPT_OPTION, DECLINE_OPTION,
                AGREEMENT_NEXT_BUTTON, AGREEMENT_CANCEL_BUTTON};
    case FOLDER_PAGE:
        return {FOLDER_TREE, INSTALL_BUTTON, FOLDER_CANCEL_BUTTON, PATH_FIELD};
    }
    return {};
}

bool page_shown(Setup& setup, Page page) {
    return visible_controls(setup) == page_controls(page);
}

std::wstring as_line_feeds(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            continue;
        }
        out += text[i] == L'\r' ? L'\n' : text[i];
    }
    return out;
}

static void expect_agreement_text(Setup& setup, Language language) {
    const PageTexts& t = page_texts[language];
    std::wstring text = as_line_feeds(control_text(setup, AGREEMENT_VIEW));
    std::wstring start = t.agreement_start;
    std::wstring end = t.agreement_end;
    ASSERT_GT(text.size(), start.size() + end.size()) << utf8(text);
    EXPECT_EQ(utf8(text.substr(0, start.size())), utf8(start));
    EXPECT_EQ(utf8(text.substr(text.size() - end.size())), utf8(end));
    // Between the two: the web-site address, one word.
    std::wstring address = text.substr(start.size(), text.size() - start.size() - end.size());
    EXPECT_EQ(address.find_first_of(L" \n"), std::wstring::npos) << utf8(address);
}

void expect_page(Setup& setup, Page page, Language language) {
    ASSERT_TRUE(wait_until("the page shown", [&] { return page_shown(setup, page); }, 10000))
        << "expected " << page_names[page];
    const PageTexts& t = page_texts[language];
    switch (page) {
    case LANGUAGE_PAGE:
        EXPECT_EQ(utf8(control_text(setup, LANGUAGE_LABEL)), utf8(LANGUAGE_LABEL_TEXT));
        EXPECT_EQ(utf8(control_text(setup, GERMAN_OPTION)), "Deutsch");
        EXPECT_EQ(utf8(control_text(setup, ENGLISH_OPTION)), "English");
        break;
    case MAINTENANCE_PAGE:
        EXPECT_EQ(utf8(control_text(setup, MAINTENANCE_LABEL)), utf8(t.maintenance_label));
        EXPECT_EQ(utf8(control_text(setup, REINSTALL_OPTION)), utf8(t.reinstall));
        EXPECT_EQ(utf8(control_text(setup, REMOVE_OPTION)), utf8(t.remove));
        EXPECT_EQ(utf8(control_text(setup, MAINTENANCE_NEXT_BUTTON)), utf8(t.next));
        EXPECT_EQ(utf8(control_text(setup, MAINTENANCE_CANCEL_BUTTON)), utf8(t.cancel));
        break;
    case AGREEMENT_PAGE:
        expect_agreement_text(setup, language);
        EXPECT_EQ(utf8(control_text(setup, ACCEPT_OPTION)), utf8(t.accept));
        EXPECT_EQ(utf8(control_text(setup, DECLINE_OPTION)), utf8(t.decline));
        EXPECT_EQ(utf8(control_text(setup, AGREEMENT_NEXT_BUTTON)), utf8(t.next));
        EXPECT_EQ(utf8(control_text(setup, AGREEMENT_CANCEL_BUTTON)), utf8(t.cancel));
        break;
    case FOLDER_PAGE:
        EXPECT_EQ(utf8(control_text(setup, INSTALL_BUTTON)), utf8(t.next));
        EXPECT_EQ(utf8(control_text(setup, FOLDER_CANCEL_BUTTON)), utf8(t.cancel));
        break;
    }
}

void expect_box(Setup& setup, const std::wstring& title, const std::wstring& text, int answer,
                const std::string& shot) {
    MessageBoxSeen box = message_box_wait(setup);
    ASSERT_NE(box.dialog, nullptr) << "no message box, expected: " << utf8(text);
    EXPECT_EQ(utf8(box.title), utf8(title));
    EXPECT_EQ(utf8(box.text), utf8(text));
    if (!shot.empty()) {
        screenshot_save(box.dialog, shot);
    }
    message_box_answer(box, answer);
}

void expect_no_box(Setup& setup, Language language) {
    ASSERT_TRUE(page_shown(setup, FOLDER_PAGE));
    control_click(setup, FOLDER_CANCEL_BUTTON);
    expect_box(setup, L"PikeHarbour Installation", page_texts[language].cancel_question, IDNO);
    EXPECT_TRUE(page_shown(setup, FOLDER_PAGE));
}

void choose_language(Setup& setup, Language language) {
    const PageTexts& t = page_texts[language];
    control_click(setup, language == GERMAN ? GERMAN_OPTION : ENGLISH_OPTION);
    ASSERT_TRUE(wait_until("the chosen language's button texts", [&] {
        return control_text(setup, LANGUAGE_NEXT_BUTTON) == t.next &&
               control_text(setup, LANGUAGE_CANCEL_BUTTON) == t.language_cancel;
    }));
}

void accept_agreement(Setup& setup, Language language) {
    expect_page(setup, AGREEMENT_PAGE, language);
    control_click(setup, ACCEPT_OPTION);
    ASSERT_TRUE(wait_until("Next enabled on the agreement page",
            [&] { return control_enabled(setup, AGREEMENT_NEXT_BUTTON); }));
    control_click(setup, AGREEMENT_NEXT_BUTTON);
    expect_page(setup, FOLDER_PAGE, language);
}

void walk_to_folder_page(Setup& setup, Language language) {
    choose_language(setup, language);
    control_click(setup, LANGUAGE_NEXT_BUTTON);
    accept_agreement(setup, language);
}

void press_install(Setup& setup, Language language) {
    const PageTexts& t = page_texts[language];
    control_click(setup, INSTALL_BUTTON);
    expect_box(setup, L"Pikeharbour Setup", t.confirm_install, IDYES);
    std::wstring backup = backup_copy_path();
    backup.resize(backup.size() - std::wstring(L"PikeHarbour_Setup.exe").size());
    expect_box(setup, L"Pikeharbour Setup", t.backup_notice + backup, IDOK);
}

void expect_success_and_exit(Setup& setup, Language language) {
    expect_box(setup, L"Pikeharbour Setup", page_texts[language].success, IDOK);
    EXPECT_EQ(setup_wait_exit(setup), 0);
}

void install_over_reinstall_warning(Setup& setup, Language language, const std::string& shot) {
    std::wstring warning = page_texts[language].reinstall_warning;
    press_install(setup, language);
    expect_box(setup, L"Pikeharbour Setup Warning", warning, IDNO, shot);
    expect_page(setup, FOLDER_PAGE, language);
    press_install(setup, language);
    expect_box(setup, L"Pikeharbour Setup Warning", warning, IDYES);
    expect_success_and_exit(setup, language);
}

void install_defaults(const Sandbox& box, Language language) {
    Running setup;
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    walk_to_folder_page(setup, language);
    press_install(setup, language);
    expect_success_and_exit(setup, language);
}

void open_maintenance_page(Running& setup, const Sandbox& box, Language language) {
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    control_click(setup, LANGUAGE_NEXT_BUTTON);
    expect_page(setup, MAINTENANCE_PAGE, language);
}
