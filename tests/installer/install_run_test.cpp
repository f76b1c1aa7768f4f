// Installation and removal driven through their requests, with no window
// at all: what the window, the unattended mode and this test have in
// common. Each step's result is checked on disk.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "embedded_checksums.h"
#include "installer/install/install.h"
#include "installer/removal/removal.h"
#include "installer/session.h"
#include "installer/unattended/unattended.h"

namespace {

std::wstring scratch() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"ph_install_run\\";
}

int64_t file_size(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string read_all(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    char bytes[1024] = {};
    DWORD got = 0;
    ReadFile(file, bytes, sizeof bytes, &got, nullptr);
    CloseHandle(file);
    return std::string(bytes, got);
}

class InstallRun : public testing::Test {
protected:
    void SetUp() override {
        root_ = scratch();
        remove_tree(root_);
        CreateDirectoryW(root_.c_str(), nullptr);
        CreateDirectoryW((root_ + L"AppData").c_str(), nullptr);
        SetEnvironmentVariableW(L"APPDATA", (root_ + L"AppData").c_str());
        settings_ = root_ + L"AppData\\PikeHarbour\\PikeHarbour.ini";
    }
    void TearDown() override {
        remove_tree(root_);
    }
    static void remove_tree(const std::wstring& folder) {
        std::wstring double_ended = folder + L'\0';
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = double_ended.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }
    // A new run as the installer role starts one: the installation found
    // is read again from disk.
    static void start_run() {
        g_session = Session{};
        g_session.found = locate_installation();
    }
    std::wstring root_;
    std::wstring settings_;
};

TEST_F(InstallRun, InstallsMovesAndRemovesWithoutAWindow) {
    const std::wstring first = root_ + L"First\\";
    const std::wstring second = root_ + L"Second\\Deeper\\";
    start_run();
    ASSERT_FALSE(g_session.found.installed);
    EXPECT_EQ(INSTALL_DONE, install_run(RunRequest{first.c_str(), 0, true}));
    EXPECT_EQ(EMBEDDED_PRODUCT_LENGTH, file_size(first + L"Pikeharbour64.exe"));
    EXPECT_EQ("Programverzeichnis = " + std::string(first.begin(), first.end()) +
                  "\r\nlanguage = 0\r\n",
              read_all(settings_));

    // A reinstall elsewhere moves the product and the settings file's
    // folder line; the language line is kept.
    start_run();
    ASSERT_TRUE(g_session.found.installed);
    EXPECT_EQ(0, g_session.found.language);
    EXPECT_EQ(INSTALL_DONE, install_run(RunRequest{second.c_str(), 1, true}));
    EXPECT_EQ(-1, file_size(first + L"Pikeharbour64.exe"));
    EXPECT_EQ(EMBEDDED_PRODUCT_LENGTH, file_size(second + L"Pikeharbour64.exe"));
    EXPECT_EQ("Programverzeichnis = " + std::string(second.begin(), second.end()) +
                  "\r\nlanguage = 0\r\n",
              read_all(settings_));

    // Removal finds the product through the settings file, not the folder
    // it is given.
    start_run();
    EXPECT_EQ(EXIT_SUCCESS_CODE, remove_run(RunRequest{first.c_str(), 1, true}));
    EXPECT_EQ(-1, file_size(second + L"Pikeharbour64.exe"));
    EXPECT_EQ(-1, file_size(settings_));
    start_run();
    EXPECT_FALSE(g_session.found.installed);
}

// A settings file held open by another program stays; removal says so
// (exit 4) instead of reporting a plain success, and the product is gone.
TEST_F(InstallRun, RemovalReportsWhatItCouldNotDelete) {
    const std::wstring folder = root_ + L"Held\\";
    start_run();
    ASSERT_EQ(INSTALL_DONE, install_run(RunRequest{folder.c_str(), 1, true}));
    start_run();
    HANDLE held = CreateFileW(settings_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(EXIT_WRITE_FAILED, remove_run(RunRequest{folder.c_str(), 1, true}));
    CloseHandle(held);
    EXPECT_EQ(-1, file_size(folder + L"Pikeharbour64.exe"));
    EXPECT_LT(0, file_size(settings_));
}

// A folder that breaks the path rules is refused before anything is made.
TEST_F(InstallRun, RefusedFolderMakesNothing) {
    start_run();
    const std::wstring bad = root_ + L"Bad .\\";
    EXPECT_EQ(INSTALL_NO_FOLDER, install_run(RunRequest{bad.c_str(), 1, true}));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root_ + L"Bad .").c_str()));
    EXPECT_EQ(-1, file_size(settings_));
}

}  // namespace
