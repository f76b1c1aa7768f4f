// Inputs that generated command lines and settings files found, run as a
// deployment script would: the exit codes of an install and a removal,
// what lies on disk after each, and the rewritten settings file's bytes.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "sandbox_files.h"
#include "unattended_support.h"

namespace {

struct FuzzCase {
    std::wstring target;          // the /D= value; empty: none
    std::string settings;         // the settings file before the install; empty: none
    long install;
    std::string after_install;    // the settings file then; "=": unchanged, empty: none
    long removal;
    bool copy_kept;               // the product copy in ROOT\Old stays through both
};

std::string utf16(const std::string& text, bool mark) {
    std::string bytes = mark ? std::string("\xFF\xFE") : std::string();
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

class Fuzzed : public Unattended {
protected:
    void run(const FuzzCase& c) {
        SetUp();
        std::wstring old_copy = ROOT + L"\\Old\\Pikeharbour64.exe";
        file_put(old_copy, product_bytes());
        if (!c.settings.empty()) {
            file_put(settings_file(), c.settings);
        }
        std::wstring target = c.target.empty() ? L"" : L" \"/D=" + c.target + L"\"";
        EXPECT_EQ(c.install, run_setup(setup_exe(), L"-admin /S" + target));
        if (c.install == 3) {
            EXPECT_FALSE(folder_exists(ROOT + L"\\fz"));
        }
        if (c.install == 0 && !c.target.empty()) {
            EXPECT_TRUE(same_bytes(product_bytes(),
                                   file_bytes(c.target + L"\\Pikeharbour64.exe")));
        }
        std::string expected = c.after_install == "=" ? c.settings : c.after_install;
        EXPECT_EQ(expected, file_bytes(settings_file()));
        EXPECT_EQ(c.removal, run_setup(setup_exe(), L"-admin /S /REMOVE"));
        EXPECT_EQ(c.copy_kept, file_exists(old_copy));
        EXPECT_EQ(std::string::npos, log_text().find("in use"));
        if (c.removal == 9) {
            EXPECT_FALSE(file_exists(settings_file()));
        }
    }
};

TEST_F(Fuzzed, EachFindingEndsAsDocumented) {
    const std::wstring fz = ROOT + L"\\fz\\";
    const std::string old_line = "Programverzeichnis = C:\\ph_unattended\\Old\\";
    const std::string new_line = "Programverzeichnis = C:\\ph_unattended\\New\\\r\n";
    const std::string long_folder = "C:\\ph_unattended\\fz\\" + std::string(240, 'x');
    // The product's full path at Windows' limit of 259 characters, and one
    // more (ROOT\fz\ is 20 characters, "\Pikeharbour64.exe" 18).
    const std::wstring at_limit = fz + std::wstring(221, L'x');
    const FuzzCase cases[] = {
        {at_limit, "", 0, "Programverzeichnis = " + low_bytes(at_limit) + "\\\r\nlanguage = 1\r\n",
         0, true},
        {fz + std::wstring(222, L'x'), "", 3, "", 0, true},
        {fz + L"x \\y<z", "", 3, "", 0, true},
        {fz + L"x...", "", 3, "", 0, true},
        {fz + L"x .\\y", "", 3, "", 0, true},
        {fz + L"a\\CON\\b", "", 3, "", 0, true},
        {L"", "Programverzeichnis = " + long_folder + "\r\nlanguage = 0\r\n", 9, "=", 9, true},
        // A byte-order mark: the folder line counts, no mark is written.
        {ROOT + L"\\New", "\xEF\xBB\xBF" + old_line + "\r\nlanguage = 0\r\n", 0,
         new_line + "language = 0\r\n", 0, false},
        // UTF-16, with and without its mark: never rewritten, never used.
        {ROOT + L"\\New", utf16(old_line + "\r\nlanguage = 0\r\n", true), 9, "=", 9, true},
        {ROOT + L"\\New", utf16(old_line + "\r\nlanguage = 0\r\n", false), 9, "=", 9, true},
        // A lone CR and a lone LF end lines too; every other non-empty line
        // is kept byte for byte, with CR LF.
        {ROOT + L"\\New", "language = 0\r" + old_line + "\nuser = \xC3\xA4 x\r\n\r\n", 0,
         new_line + "language = 0\r\nuser = \xC3\xA4 x\r\n", 0, false},
        {ROOT + L"\\New", "Programverzeichnis = C:\\victim?\r\nlanguage = 0\r\n", 9, "=", 9, true},
        {L"", old_line + "\t\r\nlanguage = 0\r\n", 9, "=", 9, true},
    };
    for (const FuzzCase& c : cases) {
        SCOPED_TRACE(utf8(c.target) + " | " + c.settings.substr(0, 60));
        run(c);
    }
}

}  // namespace
