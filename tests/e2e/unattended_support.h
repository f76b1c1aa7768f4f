// What the unattended end-to-end tests share: the sandbox folders, the
// setup started with an exact command line and a controlled environment,
// and whole-file comparisons.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include "support/wide_text.h"

extern const std::wstring ROOT;
extern const std::wstring APPDATA;
// Wine sets ProgramFiles itself in every new process, whatever the parent
// passed, so the default target is the prefix's own program-files folder.
extern const std::wstring PROGRAM_FILES;
extern const std::wstring TEMP;

std::wstring setup_exe();
std::wstring desktop_link();
std::wstring settings_file();
std::string product_bytes();
std::string log_text();
// The product's Apps & features entry is in the current user's hive.
bool uninstall_entry_exists();

// Runs `exe` with exactly `parameters` after its quoted name, with APPDATA
// set to `appdata` (empty: set empty) and TEMP to the sandbox's; the exit
// code, or -1 when it did not end within a minute.
long run_setup(const std::wstring& exe, const std::wstring& parameters,
               const wchar_t* directory = nullptr, const std::wstring& appdata = APPDATA);
// The same as a user who is not elevated: with the limited token linked to
// this process's (every process under Wine gets a full administrator's
// token otherwise); -2 when there is none.
long run_setup_limited(const std::wstring& exe, const std::wstring& parameters);

// The same for a whole command line run exactly as written (`exe` null:
// the program is the command line's first word, as Windows runs a
// registered command).
long run_command(const wchar_t* exe, const std::wstring& command,
                 const wchar_t* directory = nullptr, const std::wstring& appdata = APPDATA);

// Compares whole files without printing megabytes of bytes on a failure.
testing::AssertionResult same_bytes(const std::string& expected, const std::string& actual);

class Unattended : public testing::Test {
protected:
    void SetUp() override;
};
