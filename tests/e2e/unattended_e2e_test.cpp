// The unattended mode and the payload self-check, end to end: the built
// setup runs silently with exact command lines in a controlled environment,
// and the files it leaves (or does not leave) are checked byte for byte.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <string>
#include <vector>
#include "support/child_process.h"
#include "embedded_checksums.h"
#include "sandbox_files.h"
#include "unattended_support.h"

namespace {

// Offsets of the two blocks inside the built setup, recorded by the build.
struct Layout {
    long product_offset = -1;
    long product_length = 0;
    long picture_offset = -1;
    long picture_length = 0;
};

Layout setup_layout() {
    Layout layout;
    std::ifstream in(PH_SETUP_LAYOUT);
    std::string name;
    long offset = 0;
    long length = 0;
    while (in >> name >> offset >> length) {
        if (name == "product") {
            layout.product_offset = offset;
            layout.product_length = length;
        } else if (name == "background") {
            layout.picture_offset = offset;
            layout.picture_length = length;
        }
    }
    return layout;
}

// A copy of the setup with one byte flipped at `offset`.
std::wstring damaged_copy(const std::wstring& name, long offset) {
    std::string bytes = file_bytes(setup_exe());
    bytes[offset] = (char)(bytes[offset] ^ 0x5A);
    std::wstring path = ROOT + L"\\" + name;
    file_put(path, bytes);
    return path;
}

TEST_F(Unattended, InstallsWithDefaultsAndWritesLog) {
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S"));
    std::wstring product = PROGRAM_FILES + L"\\PikeHarbour\\Pikeharbour64.exe";
    EXPECT_TRUE(same_bytes(product_bytes(), file_bytes(product)));
    EXPECT_TRUE(file_exists(desktop_link()));
    ShortcutFields link = shortcut_read(desktop_link());
    EXPECT_EQ(_wcsicmp((PROGRAM_FILES + L"\\PikeHarbour\\PikeHarbour64.exe").c_str(),
                       link.target.c_str()), 0);
    std::string expected = "Programverzeichnis = C:\\Program Files\\PikeHarbour\\\r\n"
                           "language = 1\r\n";
    EXPECT_EQ(expected, file_bytes(settings_file()));
    // The log: one CR LF line per step, ending with the exit code.
    std::string log = log_text();
    ASSERT_GE(log.size(), 15u);
    EXPECT_EQ("Exit code: 0\r\n", log.substr(log.size() - 14));
    EXPECT_NE(std::string::npos, log.find("unattended install\r\n"));
    EXPECT_FALSE(file_exists(env_value(L"USERPROFILE") + L"\\Desktop\\temp.vbs"));
}

TEST_F(Unattended, TargetWithSpacesAndGermanLanguage) {
    std::wstring target = ROOT + L"\\My Apps\\P H\\";
    folder_make(ROOT + L"\\My Apps");
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /s \"/D=" + target + L"\" /LANG=de"));
    EXPECT_TRUE(same_bytes(product_bytes(), file_bytes(target + L"Pikeharbour64.exe")));
    std::string expected = "Programverzeichnis = C:\\ph_unattended\\My Apps\\P H\\\r\nlanguage = 0\r\n";
    EXPECT_EQ(expected, file_bytes(settings_file()));
}

// Install to A, reinstall to B, remove: the reinstall deletes the copy in A
// and moves the folder line to B (the language line stays as it was), so
// removal finds B and nothing is left in either.
TEST_F(Unattended, ReinstallElsewhereMovesTheRecordAndRemovalLeavesNothing) {
    std::wstring first = ROOT + L"\\First\\";
    std::wstring second = PROGRAM_FILES + L"\\PikeHarbour\\";
    folder_make(ROOT + L"\\First");
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /D=" + first + L" /LANG=de"));
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /LANG=en"));
    EXPECT_FALSE(file_exists(first + L"Pikeharbour64.exe"));
    EXPECT_TRUE(file_exists(second + L"Pikeharbour64.exe"));
    EXPECT_EQ("Programverzeichnis = C:\\Program Files\\PikeHarbour\\\r\nlanguage = 0\r\n",
              file_bytes(settings_file()));

    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /REMOVE"));
    EXPECT_FALSE(file_exists(first + L"Pikeharbour64.exe"));
    EXPECT_FALSE(file_exists(second + L"Pikeharbour64.exe"));
    EXPECT_FALSE(file_exists(settings_file()));
    EXPECT_FALSE(file_exists(desktop_link()));
    // The folder removal emptied goes; the earlier one, made before the
    // first install and emptied by the reinstall, stays.
    EXPECT_FALSE(folder_exists(second));
    EXPECT_TRUE(folder_exists(first));
    EXPECT_TRUE(file_exists(env_value(L"USERPROFILE") +
                            L"\\PikeHarbour\\SetupBackup\\PikeHarbour_Setup.exe"));
}

TEST_F(Unattended, FailuresGiveTheirExitCodes) {
    EXPECT_EQ(3, run_setup(setup_exe(), L"-admin /S /D=C:\\"));
    EXPECT_NE(std::string::npos,
              log_text().find("The folder 'C:\\' could not be created.  Please choose another "
                              "folder.\r\nExit code: 3\r\n"));
    EXPECT_EQ(5, run_setup(setup_exe(), L"-admin /S /X"));
    EXPECT_EQ(5, run_setup(setup_exe(), L"-admin /S /LANG=fr"));
    EXPECT_EQ(5, run_setup(setup_exe(), L"-admin /S /D="));
    EXPECT_FALSE(file_exists(settings_file()));

    // The product's name taken by a folder: no reinstall question (only a
    // file counts), and the product cannot be written. (Read-only files do
    // not stop a writer running as root under Wine.)
    std::wstring blocked = ROOT + L"\\Blocked\\";
    folder_make(blocked + L"Pikeharbour64.exe");
    EXPECT_EQ(4, run_setup(setup_exe(), L"-admin /S /D=" + blocked));
    EXPECT_TRUE(folder_exists(blocked + L"Pikeharbour64.exe"));
    EXPECT_FALSE(file_exists(settings_file()));
}

TEST_F(Unattended, LauncherPassesParametersAndReturnsExitCode) {
    EXPECT_EQ(5, run_setup(setup_exe(), L"/S /X"));
    EXPECT_EQ(3, run_setup(setup_exe(), L"/S /D=C:\\"));
    std::wstring target = ROOT + L"\\Via Launcher\\";
    folder_make(ROOT + L"\\Via Launcher");
    EXPECT_EQ(0, run_setup(setup_exe(), L"/S \"/D=" + target + L"\""));
    EXPECT_TRUE(same_bytes(product_bytes(), file_bytes(target + L"Pikeharbour64.exe")));
}

// With /S a launcher whose elevated copy cannot be started fails, without
// waiting on any box: its own file is moved away while it is held
// suspended, so the relaunch of that path finds nothing.
TEST_F(Unattended, LauncherReportsAnElevatedCopyThatCannotStart) {
    std::wstring copy = ROOT + L"\\Launcher\\PikeHarbour_Setup.exe";
    file_put(copy, file_bytes(setup_exe()));
    ChildOptions options;
    options.application = copy.c_str();
    options.flags = CREATE_SUSPENDED;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(child_start(process, L"\"" + copy + L"\" /S", options));
    bool moved = MoveFileW(copy.c_str(), (copy + L".moved").c_str());
    ResumeThread(process.hThread);
    DWORD code = child_exit_code(process, 20000, 99);
    ASSERT_TRUE(moved);
    EXPECT_EQ(1u, code);
}

TEST_F(Unattended, DamagedProductIsRefusedAndNothingWritten) {
    Layout layout = setup_layout();
    ASSERT_GE(layout.product_offset, 0);
    ASSERT_EQ(EMBEDDED_PRODUCT_BLOCK_LENGTH, layout.product_length);
    std::wstring damaged = damaged_copy(L"PikeHarbour_Setup.exe",
                                        layout.product_offset + layout.product_length / 2);
    EXPECT_EQ(2, run_setup(damaged, L"-admin /S"));
    EXPECT_EQ(2, run_setup(damaged, L"/S"));
    EXPECT_FALSE(folder_exists(PROGRAM_FILES + L"\\PikeHarbour"));
    EXPECT_FALSE(file_exists(settings_file()));
    EXPECT_FALSE(file_exists(desktop_link()));
    std::string log = log_text();
    ASSERT_GE(log.size(), 14u);
    EXPECT_EQ("Exit code: 2\r\n", log.substr(log.size() - 14));
    // Removal installs nothing from the block: the damaged copy still
    // removes what an intact one installed.
    ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S"));
    EXPECT_EQ(0, run_setup(damaged, L"-admin /S /REMOVE"));
    EXPECT_FALSE(file_exists(PROGRAM_FILES + L"\\PikeHarbour\\Pikeharbour64.exe"));
}

TEST_F(Unattended, DamagedPictureStillInstalls) {
    Layout layout = setup_layout();
    ASSERT_GE(layout.picture_offset, 0);
    ASSERT_EQ(EMBEDDED_BACKGROUND_LENGTH, layout.picture_length);
    std::wstring damaged = damaged_copy(L"PikeHarbour_Setup.exe",
                                        layout.picture_offset + layout.picture_length / 2);
    EXPECT_EQ(0, run_setup(damaged, L"-admin /S"));
    EXPECT_TRUE(same_bytes(product_bytes(), file_bytes(PROGRAM_FILES + L"\\PikeHarbour\\Pikeharbour64.exe")));
}

// The setup is elevated: a "WScript.exe" beside it or in its current folder
// must never run in place of the system's script host.
TEST_F(Unattended, PlantedScriptHostNeverRuns) {
    std::wstring folder = ROOT + L"\\Downloads";
    std::wstring setup = folder + L"\\PikeHarbour_Setup.exe";
    file_put(setup, file_bytes(setup_exe()));
    std::string planted = file_bytes(unix_to_windows(PH_PLANTED_PROGRAM));
    ASSERT_FALSE(planted.empty());
    file_put(folder + L"\\WScript.exe", planted);
    file_put(folder + L"\\wscript.exe.local", "");
    EXPECT_EQ(0, run_setup(setup, L"-admin /S", folder.c_str()));
    EXPECT_FALSE(file_exists(ROOT + L"\\planted_program_ran.txt"));
    EXPECT_TRUE(file_exists(desktop_link()));
}

}  // namespace
