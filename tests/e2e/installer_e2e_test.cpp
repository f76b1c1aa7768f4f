// End-to-end scenarios: the built setup program started with "-admin" in
// the sandbox, driven through its window like a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <png.h>
#include "installer_flow.h"
#include "sandbox_files.h"
#include "screenshots.h"
#include "x_input.h"

namespace {

const char* const language_tags[2] = {"de", "en"};

std::string shot(Language language, const std::string& name) {
    return std::string(language_tags[language]) + "_" + name;
}

std::string settings_text(const std::wstring& folder, int language) {
    return "Programverzeichnis = " + low_bytes(folder) + "\r\nlanguage = " +
           std::to_string(language) + "\r\n";
}

// Everything a finished installation leaves behind.
void expect_installed(const std::wstring& folder, const std::wstring& exe) {
    EXPECT_TRUE(file_bytes(folder + L"Pikeharbour64.exe") == product_bytes())
        << "product differs in " << utf8(folder);
    ShortcutFields link = shortcut_read(shortcut_path());
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(utf8(link.target), utf8(folder + L"PikeHarbour64.exe"));
    EXPECT_EQ(utf8(link.icon_path), utf8(folder + L"PikeHarbour64.exe"));
    EXPECT_EQ(link.icon_index, 0);
    EXPECT_EQ(link.show_command, 1);
    std::wstring backup = backup_copy_path();
    std::wstring profile_folder = backup.substr(0, backup.find(L"SetupBackup"));
    EXPECT_EQ(utf8(link.working_folder), utf8(profile_folder));
    EXPECT_FALSE(file_exists(desktop_folder() + L"\\temp.vbs"));
    EXPECT_TRUE(file_bytes(backup) == file_bytes(exe));
}

void expect_language_page_state(Setup& setup, int language) {
    expect_page(setup, LANGUAGE_PAGE, ENGLISH);
    EXPECT_EQ(control_checked(setup, GERMAN_OPTION), language == GERMAN);
    EXPECT_EQ(control_checked(setup, ENGLISH_OPTION), language == ENGLISH);
    std::wstring next = language == GERMAN ? L"Weiter" : language == ENGLISH ? L"Next" : L"";
    std::wstring cancel =
        language == GERMAN ? L"Abbruch" : language == ENGLISH ? L"Cancel" : L"";
    EXPECT_EQ(utf8(control_text(setup, LANGUAGE_NEXT_BUTTON)), utf8(next));
    EXPECT_EQ(utf8(control_text(setup, LANGUAGE_CANCEL_BUTTON)), utf8(cancel));
}

void enter_agreement_page(Setup& setup, Language language) {
    expect_page(setup, AGREEMENT_PAGE, language);
    EXPECT_TRUE(control_checked(setup, DECLINE_OPTION));
    EXPECT_FALSE(control_checked(setup, ACCEPT_OPTION));
    EXPECT_FALSE(control_enabled(setup, AGREEMENT_NEXT_BUTTON));
}

// Fresh start to success through window messages, screenshots on the way.
void install_by_messages(Setup& setup, Language language, const std::wstring& typed) {
    expect_language_page_state(setup, -1);
    choose_language(setup, language);
    screenshot_save(setup.window, shot(language, "1_language_page"));
    control_click(setup, LANGUAGE_NEXT_BUTTON);
    enter_agreement_page(setup, language);
    control_click(setup, ACCEPT_OPTION);
    ASSERT_TRUE(wait_until("Next enabled on the agreement page",
            [&] { return control_enabled(setup, AGREEMENT_NEXT_BUTTON); }));
    control_click(setup, DECLINE_OPTION);
    ASSERT_TRUE(wait_until("Next disabled on the agreement page",
            [&] { return !control_enabled(setup, AGREEMENT_NEXT_BUTTON); }));
    control_click(setup, ACCEPT_OPTION);
    ASSERT_TRUE(wait_until("Next enabled on the agreement page",
            [&] { return control_enabled(setup, AGREEMENT_NEXT_BUTTON); }));
    screenshot_save(setup.window, shot(language, "3_agreement_page"));
    control_click(setup, AGREEMENT_NEXT_BUTTON);
    expect_page(setup, FOLDER_PAGE, language);
    screenshot_save(setup.window, shot(language, "4_folder_page"));
    if (!typed.empty()) {
        control_type(setup, PATH_FIELD, typed);
    }
    const PageTexts& t = page_texts[language];
    control_click(setup, INSTALL_BUTTON);
    expect_box(setup, L"Pikeharbour Setup", t.confirm_install, IDYES, shot(language, "m1"));
    std::wstring backup = backup_copy_path();
    backup.resize(backup.size() - 21);
    expect_box(setup, L"Pikeharbour Setup", t.backup_notice + backup, IDOK, shot(language, "m2"));
    expect_box(setup, L"Pikeharbour Setup", t.success, IDOK, shot(language, "m5"));
    EXPECT_EQ(setup_wait_exit(setup), 0);
}

RECT screen_rect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

void click_by_mouse(Setup& setup, Control c) {
    ASSERT_TRUE(x_click(screen_rect(setup_control(setup, c))));
}

void answer_by_mouse(Setup& setup, const std::wstring& text, int button, const std::string& name) {
    MessageBoxSeen box = message_box_wait(setup);
    ASSERT_NE(box.dialog, nullptr);
    screenshot_save(box.dialog, name);
    EXPECT_EQ(utf8(box.text), utf8(text));
    ASSERT_TRUE(x_click(message_box_button_rect(box, button)));
    ASSERT_TRUE(wait_until("the message box to close", [&] { return !IsWindow(box.dialog); }));
}

}  // namespace

// German: a fresh install with the defaults, then the next start finds it,
// offers the maintenance page and reinstalls over it.
TEST(InstallerE2E, GermanInstallThenReinstall) {
    Sandbox box = sandbox_make("de_default");
    std::wstring folder = box.program_files + L"\\PikeHarbour\\";
    Running setup;
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    EXPECT_EQ(utf8(control_text(setup, PATH_FIELD)), utf8(folder));
    install_by_messages(setup, GERMAN, L"");
    expect_installed(folder, setup_exe());
    EXPECT_EQ(file_bytes(box.settings_file), settings_text(folder, 0));

    Running again;
    ASSERT_TRUE(setup_start(again, setup_exe(), sandbox_environment(box)));
    expect_language_page_state(again, GERMAN);
    control_click(again, LANGUAGE_NEXT_BUTTON);
    expect_page(again, MAINTENANCE_PAGE, GERMAN);
    EXPECT_TRUE(control_checked(again, REINSTALL_OPTION));
    screenshot_save(again.window, shot(GERMAN, "2_maintenance_page"));
    control_click(again, MAINTENANCE_NEXT_BUTTON);
    enter_agreement_page(again, GERMAN);
    control_click(again, ACCEPT_OPTION);
    ASSERT_TRUE(wait_until("Next enabled on the agreement page",
            [&] { return control_enabled(again, AGREEMENT_NEXT_BUTTON); }));
    control_click(again, AGREEMENT_NEXT_BUTTON);
    expect_page(again, FOLDER_PAGE, GERMAN);
    install_over_reinstall_warning(again, GERMAN, shot(GERMAN, "m3"));
    expect_installed(folder, setup_exe());
    EXPECT_EQ(file_bytes(box.settings_file), settings_text(folder, 0));
}

// English, by mouse and keyboard only: a fresh install into a typed folder
// with spaces around it and no trailing backslash; the next start removes
// it again after one refusal.
TEST(InstallerE2E, EnglishInstallByMouseAndKeyboardThenRemove) {
    if (!x_input_available()) {
        GTEST_SKIP() << "no xdotool or DISPLAY";
    }
    Sandbox box = sandbox_make("en_custom");
    std::wstring folder = box.root + L"Tools\\Pike Harbour\\";
    const PageTexts& t = page_texts[ENGLISH];
    Running setup;
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    click_by_mouse(setup, ENGLISH_OPTION);
    ASSERT_TRUE(wait_until("the English Next button",
            [&] { return control_text(setup, LANGUAGE_NEXT_BUTTON) == L"Next"; }));
    screenshot_save(setup.window, shot(ENGLISH, "1_language_page"));
    click_by_mouse(setup, LANGUAGE_NEXT_BUTTON);
    enter_agreement_page(setup, ENGLISH);
    click_by_mouse(setup, ACCEPT_OPTION);
    ASSERT_TRUE(wait_until("Next enabled on the agreement page",
            [&] { return control_enabled(setup, AGREEMENT_NEXT_BUTTON); }));
    screenshot_save(setup.window, shot(ENGLISH, "3_agreement_page"));
    click_by_mouse(setup, AGREEMENT_NEXT_BUTTON);
    expect_page(setup, FOLDER_PAGE, ENGLISH);
    screenshot_save(setup.window, shot(ENGLISH, "4_folder_page"));
    click_by_mouse(setup, PATH_FIELD);
    ASSERT_TRUE(x_key("ctrl+a BackSpace"));
    std::wstring typed = L"  " + folder.substr(0, folder.size() - 1) + L"  ";
    ASSERT_TRUE(x_type(utf8(typed)));
    ASSERT_TRUE(wait_until("the typed path in the path field",
            [&] { return control_text(setup, PATH_FIELD) == typed; }, 10000))
        << utf8(control_text(setup, PATH_FIELD));
    click_by_mouse(setup, INSTALL_BUTTON);
    answer_by_mouse(setup, t.confirm_install, IDYES, shot(ENGLISH, "m1"));
    std::wstring backup = backup_copy_path();
    answer_by_mouse(setup, t.backup_notice + backup.substr(0, backup.size() - 21), IDOK,
                    shot(ENGLISH, "m2"));
    MessageBoxSeen success = message_box_wait(setup);
    screenshot_save(success.dialog, shot(ENGLISH, "m5"));
    EXPECT_EQ(utf8(success.text), utf8(t.success));
    ASSERT_TRUE(x_click(message_box_button_rect(success, IDOK)));
    EXPECT_EQ(setup_wait_exit(setup), 0);
    expect_installed(folder, setup_exe());
    EXPECT_EQ(file_bytes(box.settings_file), settings_text(folder, 1));

    Running again;
    ASSERT_TRUE(setup_start(again, setup_exe(), sandbox_environment(box)));
    expect_language_page_state(again, ENGLISH);
    control_click(again, LANGUAGE_NEXT_BUTTON);
    expect_page(again, MAINTENANCE_PAGE, ENGLISH);
    screenshot_save(again.window, shot(ENGLISH, "2_maintenance_page"));
    control_click(again, REMOVE_OPTION);
    ASSERT_TRUE(wait_until("remove checked on the maintenance page",
            [&] { return control_checked(again, REMOVE_OPTION); }));
    control_click(again, MAINTENANCE_NEXT_BUTTON);
    expect_box(again, L"Pikeharbour Setup", t.confirm_removal, IDNO, shot(ENGLISH, "r1"));
    expect_page(again, MAINTENANCE_PAGE, ENGLISH);
    EXPECT_TRUE(file_exists(folder + L"Pikeharbour64.exe"));
    control_click(again, MAINTENANCE_NEXT_BUTTON);
    expect_box(again, L"Pikeharbour Setup", t.confirm_removal, IDYES);
    expect_box(again, L"Pikeharbour Setup", t.removal_done, IDOK, shot(ENGLISH, "r2"));
    EXPECT_EQ(setup_wait_exit(again), 0);
    EXPECT_FALSE(file_exists(folder + L"Pikeharbour64.exe"));
    EXPECT_FALSE(file_exists(box.settings_file));
    EXPECT_FALSE(file_exists(shortcut_path()));
    EXPECT_TRUE(file_exists(backup));
}
