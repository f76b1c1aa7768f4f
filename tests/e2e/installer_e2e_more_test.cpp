// End-to-end scenarios that complete the set of messages in both
// languages: an English reinstall, a German removal, a removal of a
// product in use, and the two safety copy failures (M6, M7), after which
// the installation still goes on.
#include <gtest/gtest.h>
#include <windows.h>
#include "installer_flow.h"
#include "sandbox_files.h"

namespace {

std::string shot(Language language, const char* name) {
    return std::string(language == GERMAN ? "de_" : "en_") + name;
}

std::wstring profile_folder() {
    std::wstring backup = backup_copy_path();
    return backup.substr(0, backup.size() - std::wstring(L"SetupBackup\\PikeHarbour_Setup.exe").size());
}

}  // namespace

TEST(InstallerE2E, EnglishReinstallWarning) {
    Sandbox box = sandbox_make("en_reinstall");
    ASSERT_NO_FATAL_FAILURE(install_defaults(box, ENGLISH));
    Running again;
    ASSERT_NO_FATAL_FAILURE(open_maintenance_page(again, box, ENGLISH));
    control_click(again, MAINTENANCE_NEXT_BUTTON);
    ASSERT_NO_FATAL_FAILURE(accept_agreement(again, ENGLISH));
    install_over_reinstall_warning(again, ENGLISH, shot(ENGLISH, "m3"));
}

TEST(InstallerE2E, GermanRemoval) {
    Sandbox box = sandbox_make("de_removal");
    const PageTexts& t = page_texts[GERMAN];
    ASSERT_NO_FATAL_FAILURE(install_defaults(box, GERMAN));
    std::wstring product = box.program_files + L"\\PikeHarbour\\Pikeharbour64.exe";
    ASSERT_TRUE(file_exists(product));
    Running again;
    ASSERT_NO_FATAL_FAILURE(open_maintenance_page(again, box, GERMAN));
    control_click(again, REMOVE_OPTION);
    ASSERT_TRUE(wait_until("remove checked on the maintenance page",
            [&] { return control_checked(again, REMOVE_OPTION); }));
    control_click(again, MAINTENANCE_NEXT_BUTTON);
    expect_box(again, L"Pikeharbour Setup", t.confirm_removal, IDNO, shot(GERMAN, "r1"));
    expect_page(again, MAINTENANCE_PAGE, GERMAN);
    control_click(again, MAINTENANCE_NEXT_BUTTON);
    expect_box(again, L"Pikeharbour Setup", t.confirm_removal, IDYES);
    expect_box(again, L"Pikeharbour Setup", t.removal_done, IDOK, shot(GERMAN, "r2"));
    EXPECT_EQ(setup_wait_exit(again), 0);
    EXPECT_FALSE(file_exists(product));
    EXPECT_FALSE(file_exists(box.settings_file));
    EXPECT_FALSE(file_exists(shortcut_path()));
}

// The product held open: the removal says so instead of R2, and the
// product, its settings file and its shortcut all stay.
TEST(InstallerE2E, RemovalOfAProductInUse) {
    Sandbox box = sandbox_make("in_use");
    ASSERT_NO_FATAL_FAILURE(install_defaults(box, ENGLISH));
    std::wstring product = box.program_files + L"\\PikeHarbour\\Pikeharbour64.exe";
    HANDLE held = CreateFileW(product.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Running again;
    ASSERT_NO_FATAL_FAILURE(open_maintenance_page(again, box, ENGLISH));
    control_click(again, REMOVE_OPTION);
    ASSERT_TRUE(wait_until("remove checked on the maintenance page",
            [&] { return control_checked(again, REMOVE_OPTION); }));
    control_click(again, MAINTENANCE_NEXT_BUTTON);
    expect_box(again, L"Pikeharbour Setup", page_texts[ENGLISH].confirm_removal, IDYES);
    expect_box(again, L"Pikeharbour Setup", page_texts[ENGLISH].removal_in_use, IDOK,
               shot(ENGLISH, "r_in_use"));
    EXPECT_EQ(setup_wait_exit(again), 0);
    CloseHandle(held);
    EXPECT_TRUE(file_exists(product));
    EXPECT_TRUE(file_exists(box.settings_file));
    EXPECT_TRUE(file_exists(shortcut_path()));
}

// The backup folder blocked by a file (M6), and the safety copy blocked by
// a folder of its name (M7): both are reported, no notice claims a copy
// was saved, and the installation still completes.
TEST(InstallerE2E, SafetyCopyFailuresAreReported) {
    std::wstring profile = profile_folder();
    std::wstring backup_folder = profile + L"SetupBackup\\";
    folder_remove(backup_folder);
    folder_make(profile.substr(0, profile.size() - 1));
    file_put(profile + L"SetupBackup", "not a folder");
    {
        Sandbox box = sandbox_make("backup_m6");
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        walk_to_folder_page(setup, ENGLISH);
        control_click(setup, INSTALL_BUTTON);
        expect_box(setup, L"Pikeharbour Setup", page_texts[ENGLISH].confirm_install, IDYES);
        expect_box(setup, L"PikeHarbour Setup Error",
                   L"'PikeHarbour_Setup.exe' could not create the Setupdir!", IDOK, "en_m6");
        expect_success_and_exit(setup, ENGLISH);
    }
    DeleteFileW((profile + L"SetupBackup").c_str());
    folder_make(backup_folder + L"PikeHarbour_Setup.exe");
    {
        Sandbox box = sandbox_make("backup_m7");
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        walk_to_folder_page(setup, GERMAN);
        control_click(setup, INSTALL_BUTTON);
        expect_box(setup, L"Pikeharbour Setup", page_texts[GERMAN].confirm_install, IDYES);
        expect_box(setup, L"PikeHarbour Setup Error",
                   L"'PikeHarbour_Setup.exe' could not create a save copy in '" + backup_folder +
                       L"' !",
                   IDOK, "de_m7");
        expect_success_and_exit(setup, GERMAN);
    }
    folder_remove(backup_folder);
}
