#include "files_fixture.h"
#include "files/files.h"
#include "files/filesystem.h"
#include "runtime/registry.h"
#include "runtime/strings.h"

void FilesTest::SetUp() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"ph_files_tests\\";
    // Never let a test write outside the prefix's own C: drive.
    ASSERT_EQ(folder_.substr(0, 2), L"C:");
    directory_delete(folder_.c_str(), L"", 3);
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
}

void FilesTest::TearDown() {
    file_close(ANY_ID);
    directory_delete(folder_.c_str(), L"", 3);
}

void write_bytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string read_bytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

std::wstring produce(const std::function<void(int64_t)>& operation) {
    TempScope scope;
    operation(scope.start);
    return std::wstring(scope.text(), (temp_position() - scope.start) / 2);
}
