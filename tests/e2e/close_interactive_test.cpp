// A running product during an interactive removal and reinstall: one
// question names it; No leaves it running and changes nothing, Yes closes
// it and the setup goes on.
#include <gtest/gtest.h>
#include <windows.h>
#include "installer_flow.h"
#include "running_programs.h"
#include "sandbox_files.h"

namespace {

const wchar_t* const question_head[2] = {L"Pikeharbour läuft gerade:\n",
                                         L"Pikeharbour is running:\n"};
const wchar_t* const question_tail[2] = {
    L"\n\nDas Setup kann Pikeharbour schließen und dann fortfahren. Pikeharbour fragt dabei "
    L"eventuell, ob Sie Ihre Arbeit speichern möchten.\n\nPikeharbour jetzt schließen und "
    L"fortfahren?",
    L"\n\nThe setup can close Pikeharbour and continue. Pikeharbour may ask you to save your "
    L"work first.\n\nClose Pikeharbour now and continue?"};

std::wstring installed_product(const Sandbox& box) {
    return box.program_files + L"\\PikeHarbour\\Pikeharbour64.exe";
}

void expect_close_question(Running& setup, const Sandbox& box, Language language, int answer) {
    expect_box(setup, L"Pikeharbour Setup",
               question_head[language] + installed_product(box) + question_tail[language],
               answer);
}

void start_removal(Running& setup, const Sandbox& box, Language language) {
    open_maintenance_page(setup, box, language);
    control_click(setup, REMOVE_OPTION);
    ASSERT_TRUE(wait_until("remove checked on the maintenance page",
                           [&] { return control_checked(setup, REMOVE_OPTION); }));
    control_click(setup, MAINTENANCE_NEXT_BUTTON);
    expect_box(setup, L"Pikeharbour Setup", page_texts[language].confirm_removal, IDYES);
}

// Through the maintenance page to the reinstall warning, answered Yes.
void start_reinstall(Running& setup, const Sandbox& box, Language language) {
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    control_click(setup, LANGUAGE_NEXT_BUTTON);
    expect_page(setup, MAINTENANCE_PAGE, language);
    control_click(setup, MAINTENANCE_NEXT_BUTTON);
    ASSERT_NO_FATAL_FAILURE(accept_agreement(setup, language));
    press_install(setup, language);
    expect_box(setup, L"Pikeharbour Setup Warning", page_texts[language].reinstall_warning,
               IDYES);
}

}  // namespace

TEST(CloseE2E, RemovalAsksNoKeepsEverythingYesCloses) {
    Sandbox box = sandbox_make("close_removal");
    ASSERT_NO_FATAL_FAILURE(install_defaults(box, ENGLISH));
    std::wstring product = installed_product(box);
    StartedProgram running;
    ASSERT_TRUE(running.start(product));
    {
        Running setup;
        ASSERT_NO_FATAL_FAILURE(start_removal(setup, box, ENGLISH));
        expect_close_question(setup, box, ENGLISH, IDNO);
        expect_box(setup, L"Pikeharbour Setup", page_texts[ENGLISH].removal_in_use, IDOK);
        EXPECT_EQ(setup_wait_exit(setup), 0);
    }
    EXPECT_TRUE(running.running());
    EXPECT_TRUE(file_exists(product));
    EXPECT_TRUE(file_exists(box.settings_file));
    EXPECT_TRUE(file_exists(shortcut_path()));
    Running setup;
    ASSERT_NO_FATAL_FAILURE(start_removal(setup, box, ENGLISH));
    expect_close_question(setup, box, ENGLISH, IDYES);
    expect_box(setup, L"Pikeharbour Setup", page_texts[ENGLISH].removal_done, IDOK);
    EXPECT_EQ(setup_wait_exit(setup), 0);
    EXPECT_TRUE(running.ends_within(0));
    EXPECT_FALSE(file_exists(product));
    EXPECT_FALSE(file_exists(box.settings_file));
}

TEST(CloseE2E, ReinstallClosesTheProductOnYes) {
    Sandbox box = sandbox_make("close_reinstall");
    ASSERT_NO_FATAL_FAILURE(install_defaults(box, GERMAN));
    std::wstring product = installed_product(box);
    // Bytes after a program's end are ignored when it starts: the copy that
    // runs differs from the product, so the reinstall shows in the file.
    file_put(product, product_bytes() + "older copy");
    StartedProgram running;
    ASSERT_TRUE(running.start(product));
    Running setup;
    ASSERT_NO_FATAL_FAILURE(start_reinstall(setup, box, GERMAN));
    expect_close_question(setup, box, GERMAN, IDYES);
    expect_success_and_exit(setup, GERMAN);
    EXPECT_TRUE(running.ends_within(0));
    EXPECT_TRUE(product_bytes() == file_bytes(product));
}

// A program that ignores WM_CLOSE: after the wait the setup says so and the
// reinstall changes nothing.
TEST(CloseE2E, ProgramThatDoesNotCloseIsReported) {
    Sandbox box = sandbox_make("close_stubborn");
    ASSERT_NO_FATAL_FAILURE(install_defaults(box, ENGLISH));
    std::wstring product = installed_product(box);
    std::string stubborn = file_bytes(unix_to_windows(PH_STUBBORN_PROGRAM));
    file_put(product, stubborn);
    std::string settings = file_bytes(box.settings_file);
    StartedProgram running;
    ASSERT_TRUE(running.start(product));
    Running setup;
    ASSERT_NO_FATAL_FAILURE(start_reinstall(setup, box, ENGLISH));
    expect_close_question(setup, box, ENGLISH, IDYES);
    MessageBoxSeen told = message_box_wait(setup, 30000);
    EXPECT_EQ(utf8(told.text),
              "Pikeharbour did not close and is still running. The installed program was left "
              "unchanged.\n\nPlease close Pikeharbour and start the installation again.");
    message_box_answer(told, IDOK);
    EXPECT_TRUE(page_shown(setup, FOLDER_PAGE));
    EXPECT_TRUE(running.running());
    EXPECT_TRUE(stubborn == file_bytes(product));
    EXPECT_EQ(settings, file_bytes(box.settings_file));
}
