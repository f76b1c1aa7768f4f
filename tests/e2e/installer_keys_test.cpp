// End-to-end scenarios by keyboard alone: the setup's window is given the X
// input focus once, then every step is a key press. Each flow is a table of
// keys and what the window shows afterwards; the result is checked on disk.
#include <gtest/gtest.h>
#include <windows.h>
#include "installer_flow.h"
#include "sandbox_files.h"
#include "x_input.h"

namespace {

constexpr Control NONE = CONTROL_COUNT;
// A row after which a message box follows at once, or the setup has ended:
// no page to check.
constexpr Page NO_PAGE = static_cast<Page>(-1);

struct Step {
    const char* keys;   // xdotool key names; "type:" types the rest
    Page page;          // shown afterwards
    Control focus;      // has the focus afterwards
    Control checked;    // the option checked afterwards (NONE: not checked)
    // A message box that the keys bring up, and the keys that answer it.
    const wchar_t* PageTexts::*box = nullptr;
    const char* answer = nullptr;
};

const char* name_of(Control c) {
    return c == NONE ? "(none)" : control_name(c);
}

// What a page shows follows its options as it does after a click: the
// language's captions, the agreement's Next only with "accept".
void expect_page_follows_options(Setup& setup, Page page) {
    for (Language language : {GERMAN, ENGLISH}) {
        Control option = language == GERMAN ? GERMAN_OPTION : ENGLISH_OPTION;
        if (page == LANGUAGE_PAGE && control_checked(setup, option)) {
            EXPECT_EQ(utf8(control_text(setup, LANGUAGE_NEXT_BUTTON)),
                      utf8(page_texts[language].next));
        }
    }
    if (page == AGREEMENT_PAGE) {
        EXPECT_EQ(control_enabled(setup, AGREEMENT_NEXT_BUTTON),
                  control_checked(setup, ACCEPT_OPTION));
    }
}

void press(const char* keys) {
    std::string text = keys;
    if (text.rfind("type:", 0) == 0) {
        ASSERT_TRUE(x_type(text.substr(5)));
    } else if (!text.empty()) {
        ASSERT_TRUE(x_key(text));
    }
}

void answer_box(Setup& setup, const Step& step, Language language) {
    MessageBoxSeen box = message_box_wait(setup);
    ASSERT_NE(box.dialog, nullptr) << "no box after " << step.keys;
    std::wstring expected = page_texts[language].*step.box;
    EXPECT_EQ(utf8(box.text.substr(0, expected.size())), utf8(expected));
    press(step.answer);
    ASSERT_TRUE(wait_until("the message box to close",
            [&] { return !IsWindow(box.dialog); }, 10000))
        << "box not answered by " << step.answer;
}

void run_steps(Setup& setup, Language language, const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); i++) {
        const Step& step = steps[i];
        SCOPED_TRACE("step " + std::to_string(i) + ": " + step.keys);
        press(step.keys);
        if (step.box) {
            answer_box(setup, step, language);
        }
        if (step.page == NO_PAGE) {
            continue;
        }
        expect_page(setup, step.page, language);
        bool focused = wait_until("the focus on the step's control",
                [&] { return focused_control(setup) == step.focus; }, 5000);
        ASSERT_TRUE(focused) << "focus on " << name_of(focused_control(setup)) << ", expected "
                             << name_of(step.focus);
        if (step.checked != NONE) {
            EXPECT_TRUE(control_checked(setup, step.checked)) << name_of(step.checked);
        }
        expect_page_follows_options(setup, step.page);
    }
}

// Starts the setup and gives its window the keyboard, the one thing done
// by other means than a key.
void start_with_keyboard(Running& setup, const Sandbox& box) {
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    ASSERT_TRUE(x_focus(setup.window));
}

void expect_product(const std::wstring& folder, int language, const Sandbox& box) {
    EXPECT_TRUE(file_bytes(folder + L"Pikeharbour64.exe") == product_bytes());
    EXPECT_TRUE(file_exists(shortcut_path()));
    EXPECT_EQ(file_bytes(box.settings_file), "Programverzeichnis = " + utf8(folder) +
                                                 "\r\nlanguage = " +
                                                 std::to_string(language) + "\r\n");
}

const std::vector<Step> english_install = {
    {"", LANGUAGE_PAGE, GERMAN_OPTION, NONE},              // none checked: the first
    {"Down", LANGUAGE_PAGE, ENGLISH_OPTION, ENGLISH_OPTION},
    {"Down", LANGUAGE_PAGE, GERMAN_OPTION, GERMAN_OPTION},  // wraps at the end
    {"Up", LANGUAGE_PAGE, ENGLISH_OPTION, ENGLISH_OPTION},  // and at the start
    {"Tab", LANGUAGE_PAGE, LANGUAGE_NEXT_BUTTON, ENGLISH_OPTION},
    {"Tab", LANGUAGE_PAGE, LANGUAGE_CANCEL_BUTTON, ENGLISH_OPTION},
    {"Tab", LANGUAGE_PAGE, ENGLISH_OPTION, ENGLISH_OPTION},  // the group at its checked one
    {"shift+Tab", LANGUAGE_PAGE, LANGUAGE_CANCEL_BUTTON, ENGLISH_OPTION},
    {"Return", LANGUAGE_PAGE, LANGUAGE_CANCEL_BUTTON, ENGLISH_OPTION,
     &PageTexts::cancel_question, "Escape"},
    {"Tab", LANGUAGE_PAGE, ENGLISH_OPTION, ENGLISH_OPTION},
    {"Escape", LANGUAGE_PAGE, ENGLISH_OPTION, ENGLISH_OPTION, &PageTexts::cancel_question, "n"},
    {"Return", AGREEMENT_PAGE, DECLINE_OPTION, DECLINE_OPTION},
    {"Return", AGREEMENT_PAGE, DECLINE_OPTION, DECLINE_OPTION},  // Next is disabled
    {"Up", AGREEMENT_PAGE, ACCEPT_OPTION, ACCEPT_OPTION},
    {"Up", AGREEMENT_PAGE, DECLINE_OPTION, DECLINE_OPTION},
    {"Down", AGREEMENT_PAGE, ACCEPT_OPTION, ACCEPT_OPTION},
    {"shift+Tab", AGREEMENT_PAGE, AGREEMENT_VIEW, ACCEPT_OPTION},
    {"Escape", AGREEMENT_PAGE, AGREEMENT_VIEW, ACCEPT_OPTION, &PageTexts::cancel_question,
     "Escape"},
    {"Tab", AGREEMENT_PAGE, ACCEPT_OPTION, ACCEPT_OPTION},
    {"Return", FOLDER_PAGE, FOLDER_TREE, NONE},
    {"Tab", FOLDER_PAGE, PATH_FIELD, NONE},
    {"Tab", FOLDER_PAGE, INSTALL_BUTTON, NONE},
    {"Tab", FOLDER_PAGE, FOLDER_CANCEL_BUTTON, NONE},
    {"Tab", FOLDER_PAGE, FOLDER_TREE, NONE},
    {"shift+Tab", FOLDER_PAGE, FOLDER_CANCEL_BUTTON, NONE},
    {"Escape", FOLDER_PAGE, FOLDER_CANCEL_BUTTON, NONE, &PageTexts::cancel_question, "Escape"},
    {"Tab Tab", FOLDER_PAGE, PATH_FIELD, NONE},
    // Tabbing in selected the proposed folder: typing replaces it.
    {"type:C:\\e2e\\keys_en\\Tools\\Pike Harbour", FOLDER_PAGE, PATH_FIELD, NONE},
    {"Return", NO_PAGE, NONE, NONE, &PageTexts::confirm_install, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::backup_notice, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::success, "Return"},
};

const std::vector<Step> english_removal = {
    {"", LANGUAGE_PAGE, ENGLISH_OPTION, ENGLISH_OPTION},
    {"Return", MAINTENANCE_PAGE, REINSTALL_OPTION, REINSTALL_OPTION},
    {"Up", MAINTENANCE_PAGE, REMOVE_OPTION, REMOVE_OPTION},  // wraps at the start
    {"Down", MAINTENANCE_PAGE, REINSTALL_OPTION, REINSTALL_OPTION},
    {"Right", MAINTENANCE_PAGE, REMOVE_OPTION, REMOVE_OPTION},
    {"Escape", MAINTENANCE_PAGE, REMOVE_OPTION, REMOVE_OPTION, &PageTexts::cancel_question,
     "Escape"},
    {"Tab", MAINTENANCE_PAGE, MAINTENANCE_NEXT_BUTTON, REMOVE_OPTION},
    {"Return", MAINTENANCE_PAGE, MAINTENANCE_NEXT_BUTTON, REMOVE_OPTION,
     &PageTexts::confirm_removal, "Escape"},
    {"shift+Tab", MAINTENANCE_PAGE, REMOVE_OPTION, REMOVE_OPTION},
    {"Return", NO_PAGE, NONE, NONE, &PageTexts::confirm_removal, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::removal_done, "Return"},
};

// Enter on an option presses the page's Next; Space still checks.
const std::vector<Step> german_install = {
    {"", LANGUAGE_PAGE, GERMAN_OPTION, NONE},
    {"space", LANGUAGE_PAGE, GERMAN_OPTION, GERMAN_OPTION},
    {"Return", AGREEMENT_PAGE, DECLINE_OPTION, DECLINE_OPTION},
    {"Down", AGREEMENT_PAGE, ACCEPT_OPTION, ACCEPT_OPTION},  // wraps at the end
    {"Return", FOLDER_PAGE, FOLDER_TREE, NONE},
    {"Return", NO_PAGE, NONE, NONE, &PageTexts::confirm_install, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::backup_notice, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::success, "Return"},
};

// Up to the reinstall warning, which Escape refuses.
const std::vector<Step> german_reinstall_refused = {
    {"", LANGUAGE_PAGE, GERMAN_OPTION, GERMAN_OPTION},
    {"Return", MAINTENANCE_PAGE, REINSTALL_OPTION, REINSTALL_OPTION},
    {"Return", AGREEMENT_PAGE, DECLINE_OPTION, DECLINE_OPTION},
    {"Left", AGREEMENT_PAGE, ACCEPT_OPTION, ACCEPT_OPTION},
    {"Tab", AGREEMENT_PAGE, AGREEMENT_NEXT_BUTTON, ACCEPT_OPTION},
    {"Return", FOLDER_PAGE, FOLDER_TREE, NONE},
    {"Return", NO_PAGE, NONE, NONE, &PageTexts::confirm_install, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::backup_notice, "Return"},
    {"", FOLDER_PAGE, FOLDER_TREE, NONE, &PageTexts::reinstall_warning, "Escape"},
};

const std::vector<Step> german_reinstall_accepted = {
    {"Return", NO_PAGE, NONE, NONE, &PageTexts::confirm_install, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::backup_notice, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::reinstall_warning, "Return"},
    {"", NO_PAGE, NONE, NONE, &PageTexts::success, "Return"},
};

}  // namespace

TEST(InstallerKeys, EnglishInstallThenRemove) {
    if (!x_input_available()) {
        GTEST_SKIP() << "no xdotool or DISPLAY";
    }
    Sandbox box = sandbox_make("keys_en");
    std::wstring folder = box.root + L"Tools\\Pike Harbour\\";
    Running setup;
    start_with_keyboard(setup, box);
    run_steps(setup, ENGLISH, english_install);
    EXPECT_EQ(setup_wait_exit(setup), 0);
    expect_product(folder, ENGLISH, box);

    Running again;
    start_with_keyboard(again, box);
    run_steps(again, ENGLISH, english_removal);
    EXPECT_EQ(setup_wait_exit(again), 0);
    EXPECT_FALSE(file_exists(folder + L"Pikeharbour64.exe"));
    EXPECT_FALSE(file_exists(box.settings_file));
    EXPECT_FALSE(file_exists(shortcut_path()));
}

TEST(InstallerKeys, GermanInstallThenReinstall) {
    if (!x_input_available()) {
        GTEST_SKIP() << "no xdotool or DISPLAY";
    }
    Sandbox box = sandbox_make("keys_de");
    std::wstring folder = box.program_files + L"\\PikeHarbour\\";
    Running setup;
    start_with_keyboard(setup, box);
    run_steps(setup, GERMAN, german_install);
    EXPECT_EQ(setup_wait_exit(setup), 0);
    expect_product(folder, GERMAN, box);

    // A product that a reinstall would overwrite: Escape on the warning
    // must leave it.
    file_put(folder + L"Pikeharbour64.exe", "older product");
    Running again;
    start_with_keyboard(again, box);
    run_steps(again, GERMAN, german_reinstall_refused);
    EXPECT_EQ(file_bytes(folder + L"Pikeharbour64.exe"), "older product");
    run_steps(again, GERMAN, german_reinstall_accepted);
    EXPECT_EQ(setup_wait_exit(again), 0);
    expect_product(folder, GERMAN, box);
}
