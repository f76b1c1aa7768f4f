// The rules a path from the user must meet (/D=, the path field, /LOG=,
// the settings file's folder line), and the message and log line that a
// failed write gets, with the write error injected through the file layer.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "files/file_faults.h"
#include "files/files.h"
#include "installer/error_text.h"
#include "installer/path_rules.h"
#include "installer/session.h"
#include "installer/text.h"
#include "runtime/strings.h"

namespace {

TEST(PathRules, OnlyPlainLocalPathsPass) {
    struct Case {
        const wchar_t* path;
        PathVerdict verdict;
    };
    const Case cases[] = {
        {L"C:\\Apps\\Pike Harbour\\", PATH_PLAIN},
        {L"d:\\x", PATH_PLAIN},
        {L"C:\\", PATH_PLAIN},
        {L"C:\\a.b\\c d\\x.log", PATH_PLAIN},
        {L"C:\\x\\\\", PATH_PLAIN},                  // trailing backslashes: a folder
        {L"C:x", PATH_NOT_LOCAL_ABSOLUTE},
        {L"\\x", PATH_NOT_LOCAL_ABSOLUTE},
        {L"x\\y", PATH_NOT_LOCAL_ABSOLUTE},
        {L"\\\\server\\share\\", PATH_NOT_LOCAL_ABSOLUTE},
        {L"\\\\?\\C:\\x", PATH_NOT_LOCAL_ABSOLUTE},
        {L"\\\\.\\C:\\x", PATH_NOT_LOCAL_ABSOLUTE},
        {L"C:\\a\\\\b", PATH_PLAIN},                  // a doubled backslash reads as one
        {L"C:\\a\\..\\Windows", PATH_BAD_SEGMENT},
        {L"C:\\a\\.\\b", PATH_BAD_SEGMENT},
        {L"C:\\x...", PATH_BAD_SEGMENT},
        {L"C:\\x \\y", PATH_BAD_SEGMENT},
        {L"C:\\fz\\x .\\y", PATH_BAD_SEGMENT},
        {L"C:\\x.log:stream", PATH_BAD_CHARACTER},
        {L"C:\\a<b", PATH_BAD_CHARACTER},
        {L"C:\\a?", PATH_BAD_CHARACTER},
        {L"C:\\a|b", PATH_BAD_CHARACTER},
        {L"C:\\a/b", PATH_BAD_CHARACTER},
        {L"C:\\a\tb", PATH_BAD_CHARACTER},
        {L"C:\\a\nb", PATH_BAD_CHARACTER},
        {L"C:\\NUL", PATH_DEVICE_NAME},
        {L"C:\\x\\con.txt", PATH_DEVICE_NAME},
        {L"C:\\Com1.log", PATH_DEVICE_NAME},
        {L"C:\\lpt9\\x", PATH_DEVICE_NAME},
        {L"C:\\CONOUT$", PATH_DEVICE_NAME},
        {L"C:\\console\\nul1\\com10", PATH_PLAIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.verdict, path_rules_check(c.path, 259)) << testing::PrintToString(
            std::wstring(c.path));
    }
    std::wstring longest = L"C:\\" + std::wstring(256, L'x');
    EXPECT_EQ(PATH_PLAIN, path_rules_check(longest.c_str(), 259));
    EXPECT_EQ(PATH_TOO_LONG, path_rules_check((longest + L"x").c_str(), 259));
}

// A write that fails with the injected error; the message and log line
// the installer makes of it.
class ErrorText : public testing::Test {
protected:
    void SetUp() override {
        g_session.language = 1;
        g_session.unattended = true;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        log_ = std::wstring(temp) + L"ph_error_text.log";
        target_ = std::wstring(temp) + L"ph_error_text.bin";
        ASSERT_NE(0, file_open_general(LOG_FILE_ID, log_.c_str(), FILE_MODE_CREATE,
                                       static_cast<int32_t>(ENCODING_UTF8) | FILE_FLAG_SHARE_READ));
    }
    void TearDown() override {
        file_close(LOG_FILE_ID);
        DeleteFileW(log_.c_str());
        DeleteFileW(target_.c_str());
        g_session.unattended = false;
    }
    // Writes through the file layer with `error` injected; the error seen.
    DWORD failed_write(DWORD error) {
        EXPECT_NE(0, file_create(0, target_.c_str()));
        file_fault_arm(error, 0);
        char block[8192] = {};
        int64_t written = file_write_data(0, block, sizeof block);
        DWORD seen = GetLastError();
        file_fault_arm(ERROR_SUCCESS, 0);
        file_close(0);
        EXPECT_LT(written, static_cast<int64_t>(sizeof block));
        return seen;
    }
    std::string message(DWORD error) {
        int64_t saved = temp_position();
        error_message(error, L"C:\\Target\\", saved);
        std::wstring text = temp_address(saved);
        temp_set_position(saved);
        return std::string(text.begin(), text.end());
    }
    std::string log_bytes() {
        file_flush(LOG_FILE_ID);
        HANDLE file = CreateFileW(log_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        char bytes[4096] = {};
        DWORD got = 0;
        ReadFile(file, bytes, sizeof bytes - 1, &got, nullptr);
        CloseHandle(file);
        return std::string(bytes, got);
    }
    std::wstring log_;
    std::wstring target_;
};

TEST_F(ErrorText, EachErrorGetsItsMessageAndTheLogItsCode) {
    struct Case {
        DWORD error;
        const char* message;
    };
    const Case cases[] = {
        {ERROR_DISK_FULL, "There is not enough space on the drive of 'C:\\Target\\'"},
        {ERROR_HANDLE_DISK_FULL, "There is not enough space on the drive of 'C:\\Target\\'"},
        {ERROR_ACCESS_DENIED, "You probably don't have the necessary user rights"},
        {ERROR_SHARING_VIOLATION, "could not be written into 'C:\\Target\\': Windows error 32"},
        {ERROR_WRITE_FAULT, "could not be written into 'C:\\Target\\': Windows error 29"},
    };
    for (const Case& c : cases) {
        DWORD seen = failed_write(c.error);
        EXPECT_EQ(c.error, seen);
        EXPECT_NE(std::string::npos, message(seen).find(c.message)) << message(seen);
        error_log(L"Product", L"C:\\Target\\Pikeharbour64.exe", seen);
        std::string line = "Product: C:\\Target\\Pikeharbour64.exe: error " +
                           std::to_string(c.error);
        EXPECT_NE(std::string::npos, log_bytes().find(line)) << log_bytes();
    }
    // Only access denied gets the rights advice.
    EXPECT_EQ(std::string::npos, message(ERROR_DISK_FULL).find("rights"));
    EXPECT_EQ(std::string::npos, message(ERROR_SHARING_VIOLATION).find("rights"));
}

// Texts built earlier in the buffer, joined behind a part whose append
// grows and moves the buffer, still come out whole. The buffer is made
// large first: Wine gives a large block its own mapping and unmaps it when
// the block moves, so a stale address faults instead of reading the old
// bytes by luck.
TEST(TextJoin, PartsInTheBufferSurviveItsGrowth) {
    TempScope scope;
    temp_append(std::wstring(400000, L'x').c_str());
    const std::wstring head(800000, L'a');
    const std::wstring tail(1000, L'b');
    int64_t at = temp_position();
    temp_append(tail.c_str());
    const wchar_t* built = temp_argument(at);
    BuiltText joined = text_join(head.c_str(), built, built);
    EXPECT_TRUE(std::wstring(joined.text) == head + tail + tail);
    text_release(joined);
}

}  // namespace
