// A running product during an unattended reinstall or removal: closed with
// /CLOSEAPPLICATIONS, otherwise (or when it refuses) left running with
// nothing changed and exit 6; another file of the same name is never
// touched; the launcher starts the closed product again from its new
// folder. Results checked on disk and in the process list.
#include <gtest/gtest.h>
#include <windows.h>
#include <list>
#include "running_programs.h"
#include "sandbox_files.h"
#include "unattended_support.h"

namespace {

enum Program { STAND_IN, RENAMED, STUBBORN };

struct CloseCase {
    const char* name;
    Program program;            // what runs as the installed product
    int instances;
    bool removal;
    bool close_applications;
    long exit_code;
    const char* logged;         // in every running process's log line
};

const CloseCase cases[] = {
    {"reinstall, not asked", STAND_IN, 1, false, false, 6, "not asked to close: left running"},
    {"reinstall, two instances", STAND_IN, 2, false, true, 0, ": closed\r\n"},
    {"removal, not asked", STAND_IN, 1, true, false, 6, "not asked to close: left running"},
    {"removal", STAND_IN, 1, true, true, 0, ": closed\r\n"},
    {"another window title", RENAMED, 1, false, true, 0, ": closed\r\n"},
    {"refuses to close", STUBBORN, 1, false, true, 6, "still running after 15 s: left running"},
};

std::string program_bytes(Program program) {
    if (program == RENAMED) {
        return file_bytes(unix_to_windows(PH_RENAMED_STANDIN));
    }
    return program == STUBBORN ? file_bytes(unix_to_windows(PH_STUBBORN_PROGRAM))
                               : product_bytes();
}

std::wstring command_for(const CloseCase& c, const std::wstring& folder) {
    std::wstring command = L"-admin /S";
    command += c.removal ? L" /REMOVE" : L" /D=" + folder;
    return command + (c.close_applications ? L" /CLOSEAPPLICATIONS" : L"");
}

// What the run may change, read before and after.
struct Installed {
    std::string product;
    std::string settings;
    bool entry;
};

Installed installed_now(const std::wstring& product) {
    return {file_bytes(product), file_bytes(settings_file()), uninstall_entry_exists()};
}

class RunningProduct : public Unattended {};

TEST_F(RunningProduct, ClosedOnlyWhenAskedAndNeverAnotherFile) {
    std::wstring folder = ROOT + L"\\Closing\\";
    std::wstring product = folder + L"Pikeharbour64.exe";
    std::wstring elsewhere = ROOT + L"\\Elsewhere\\Pikeharbour64.exe";
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        ASSERT_EQ(0, run_setup(setup_exe(), L"-admin /S /D=" + folder));
        file_put(product, program_bytes(c.program));
        file_put(elsewhere, product_bytes());
        StartedProgram bystander;
        ASSERT_TRUE(bystander.start(elsewhere));
        std::list<StartedProgram> running(c.instances);
        for (StartedProgram& program : running) {
            ASSERT_TRUE(program.start(product));
        }
        Installed before = installed_now(product);
        EXPECT_EQ(c.exit_code, run_setup(setup_exe(), command_for(c, folder)));
        for (StartedProgram& program : running) {
            EXPECT_EQ(c.exit_code == 0, program.ends_within(c.exit_code == 0 ? 5000 : 0));
        }
        EXPECT_TRUE(bystander.running());
        std::string log = log_text();
        for (StartedProgram& program : running) {
            std::string line = "Process " + std::to_string(program.info.dwProcessId) + " " +
                               utf8(product) + ": ";
            EXPECT_NE(std::string::npos, log.find(line)) << log;
        }
        EXPECT_NE(std::string::npos, log.find(c.logged)) << log;
        EXPECT_EQ(std::string::npos, log.find(std::to_string(bystander.info.dwProcessId) + " "));
        Installed after = installed_now(product);
        if (c.exit_code != 0) {
            EXPECT_TRUE(same_bytes(before.product, after.product));
            EXPECT_EQ(before.settings, after.settings);
            EXPECT_TRUE(after.entry);
        } else if (!c.removal) {
            EXPECT_TRUE(same_bytes(product_bytes(), after.product));
        } else {
            EXPECT_FALSE(file_exists(product));
        }
    }
}

// Through the launcher, as a user's deployment tool runs it: the reinstall
// into another folder closes the product and the launcher starts it again
// from there, not elevated; a run that closed nothing starts nothing, and
// neither does a launcher that is elevated itself.
TEST_F(RunningProduct, LauncherStartsTheClosedProductAgainFromTheNewFolder) {
    std::wstring first = ROOT + L"\\First\\";
    std::wstring second = ROOT + L"\\Second\\";
    ASSERT_EQ(0, run_setup_limited(setup_exe(), L"/S /D=" + first));
    EXPECT_FALSE(path_running(first + L"Pikeharbour64.exe", 0, true));
    StartedProgram product;
    ASSERT_TRUE(product.start(first + L"Pikeharbour64.exe"));
    ASSERT_EQ(0, run_setup_limited(setup_exe(), L"/S /CLOSEAPPLICATIONS /D=" + second));
    EXPECT_TRUE(product.ends_within(0));
    EXPECT_FALSE(file_exists(first + L"Pikeharbour64.exe"));
    bool elevated = true;
    EXPECT_TRUE(path_running(second + L"Pikeharbour64.exe", 10000, true, &elevated));
    EXPECT_FALSE(elevated);

    StartedProgram again;
    ASSERT_TRUE(again.start(second + L"Pikeharbour64.exe"));
    ASSERT_EQ(0, run_setup(setup_exe(), L"/S /CLOSEAPPLICATIONS /D=" + first));
    EXPECT_TRUE(again.ends_within(0));
    EXPECT_FALSE(path_running(first + L"Pikeharbour64.exe", 2000, true));
}

}  // namespace
