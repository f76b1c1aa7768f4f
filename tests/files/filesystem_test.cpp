// File-system operations on real files and folders of the prefix's C: drive.
#include "files_fixture.h"
#include <winioctl.h>
#include "files/files.h"
#include "files/filesystem.h"
#include "files/link_safe.h"
#include "runtime/strings.h"

TEST_F(FilesTest, PathSizeTellsFilesFoldersAndNothing) {
    write_bytes(path(L"empty.txt"), "");
    write_bytes(path(L"five.txt"), "12345");
    ASSERT_TRUE(CreateDirectoryW(path(L"sub").c_str(), nullptr));
    EXPECT_EQ(path_size(path(L"empty.txt").c_str()), 0);
    EXPECT_EQ(path_size(path(L"five.txt").c_str()), 5);
    EXPECT_EQ(path_size(path(L"missing.txt").c_str()), PATH_SIZE_MISSING);
    EXPECT_EQ(path_size(path(L"sub").c_str()), PATH_SIZE_FOLDER);
    EXPECT_EQ(path_size(path(L"sub\\").c_str()), PATH_SIZE_FOLDER);
    EXPECT_EQ(path_size(path(L"sub\\\\/").c_str()), PATH_SIZE_FOLDER);
    EXPECT_EQ(path_size(nullptr), PATH_SIZE_MISSING);
    EXPECT_EQ(path_size(L""), PATH_SIZE_MISSING);
    EXPECT_EQ(path_size(L"\\\\"), PATH_SIZE_MISSING);
}

TEST_F(FilesTest, PathSizeOfDrives) {
    EXPECT_EQ(path_size(L"C:"), PATH_SIZE_FOLDER);
    EXPECT_EQ(path_size(L"C:\\"), PATH_SIZE_FOLDER);
    wchar_t missing[] = L"Q:\\";
    for (wchar_t letter = L'Q'; letter <= L'Y' && GetDriveTypeW(missing) > DRIVE_NO_ROOT_DIR; letter++) {
        missing[0] = letter;
    }
    ASSERT_LE(GetDriveTypeW(missing), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(path_size(missing), PATH_SIZE_MISSING);
    missing[2] = 0;
    EXPECT_EQ(path_size(missing), PATH_SIZE_MISSING);
}

TEST_F(FilesTest, PathSizeOfAFileOverFourGigabytes) {
    std::wstring name = path(L"sparse.bin");
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 5LL * 1024 * 1024 * 1024 + 3;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(path_size(name.c_str()), 5LL * 1024 * 1024 * 1024 + 3);
    DeleteFileW(name.c_str());
}

TEST_F(FilesTest, CopyReplacesButNotAReadOnlyTarget) {
    write_bytes(path(L"a.txt"), "new");
    write_bytes(path(L"b.txt"), "old contents");
    EXPECT_NE(file_copy(path(L"a.txt").c_str(), path(L"b.txt").c_str()), 0);
    EXPECT_EQ(read_bytes(path(L"b.txt")), "new");
    write_bytes(path(L"c.txt"), "protected");
    SetFileAttributesW(path(L"c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(file_copy(path(L"a.txt").c_str(), path(L"c.txt").c_str()), 0);
    EXPECT_EQ(read_bytes(path(L"c.txt")), "protected");
    EXPECT_EQ(file_copy(nullptr, path(L"d.txt").c_str()), 0);
}

TEST_F(FilesTest, DeleteLeavesReadOnlyFilesUnlessAttributesAreCleared) {
    std::wstring name = path(L"ro.txt");
    write_bytes(name, "x");
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(file_delete(name.c_str()), 0);
    EXPECT_EQ(path_size(name.c_str()), 1);
    EXPECT_NE(file_delete_ex(name.c_str(), 2), 0);
    EXPECT_EQ(path_size(name.c_str()), PATH_SIZE_MISSING);
    EXPECT_EQ(file_delete(nullptr), 0);
}

TEST_F(FilesTest, DirectoryCreateMakesOnlyTheLastFolder) {
    EXPECT_NE(directory_create(path(L"new\\ /").c_str()), 0);
    EXPECT_EQ(path_size(path(L"new").c_str()), PATH_SIZE_FOLDER);
    EXPECT_EQ(directory_create(path(L"new").c_str()), 0);
    EXPECT_EQ(directory_create(path(L"missing\\child").c_str()), 0);
    EXPECT_EQ(path_size(path(L"missing").c_str()), PATH_SIZE_MISSING);
    EXPECT_EQ(directory_create(L"\\ "), 0);
}

TEST_F(FilesTest, DirectoryDeleteRemovesFilesThenTheFolder) {
    std::wstring folder = path(L"product");
    CreateDirectoryW(folder.c_str(), nullptr);
    write_bytes(folder + L"\\a.exe", "a");
    write_bytes(folder + L"\\b.ini", "b");
    EXPECT_NE(directory_delete(folder.c_str(), L"", 0), 0);
    EXPECT_EQ(path_size(folder.c_str()), PATH_SIZE_MISSING);
    EXPECT_EQ(directory_delete(folder.c_str(), L"", 0), 0);
    EXPECT_EQ(directory_delete(nullptr, L"", 0), 0);
}

TEST_F(FilesTest, DirectoryDeleteKeepsFoldersThatHoldSubfolders) {
    std::wstring folder = path(L"outer\\");
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"inner").c_str(), nullptr);
    write_bytes(folder + L"file.txt", "f");
    write_bytes(folder + L"inner\\deep.txt", "d");
    EXPECT_EQ(directory_delete(folder.c_str(), nullptr, 0), 0);
    EXPECT_EQ(path_size((folder + L"file.txt").c_str()), PATH_SIZE_MISSING);
    EXPECT_EQ(path_size((folder + L"inner\\deep.txt").c_str()), 1);
    EXPECT_EQ(path_size((folder + L"inner").c_str()), PATH_SIZE_FOLDER);
    // Recursive: the whole tree goes.
    EXPECT_NE(directory_delete(folder.c_str(), L"*.*", 1), 0);
    EXPECT_EQ(path_size(folder.c_str()), PATH_SIZE_MISSING);
}

TEST_F(FilesTest, DirectoryDeleteWithAPatternKeepsTheFolder) {
    std::wstring folder = path(L"logs\\");
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"old").c_str(), nullptr);
    write_bytes(folder + L"a.log", "a");
    write_bytes(folder + L"keep.txt", "k");
    write_bytes(folder + L"old\\b.log", "b");
    EXPECT_EQ(directory_delete(folder.c_str(), L"*.log", 1), 1);
    EXPECT_EQ(path_size((folder + L"a.log").c_str()), PATH_SIZE_MISSING);
    EXPECT_EQ(path_size((folder + L"old\\b.log").c_str()), PATH_SIZE_MISSING);
    EXPECT_EQ(path_size((folder + L"keep.txt").c_str()), 1);
    EXPECT_EQ(path_size((folder + L"old").c_str()), PATH_SIZE_FOLDER);
}

TEST_F(FilesTest, HomeDirectoryEndsWithOneBackslash) {
    std::wstring home = produce([](int64_t out) { home_directory(out); });
    ASSERT_GE(home.size(), 4u);
    EXPECT_EQ(home.back(), L'\\');
    EXPECT_NE(home[home.size() - 2], L'\\');
    EXPECT_EQ(path_size(home.c_str()), PATH_SIZE_FOLDER);
}

TEST(PathParts, FolderAndFileParts) {
    struct Row { const wchar_t* path; int32_t flags; const wchar_t* folder; const wchar_t* file; };
    const Row rows[] = {
        {L"\"C:\\dir\\setup.exe", 0, L"C:\\dir\\", L"setup.exe"},
        {L"\"C:\\my dir\\setup.exe\" -admin", 0, L"C:\\my dir\\", L"setup.exe"},
        {L"setup.exe", 0, L"", L"setup.exe"},
        {L"C:/a/b.txt|x\\y", 0, L"C:/a/", L"y"},
        {L"C:\\dir\\setup.exe", 1, L"C:\\dir\\", L"setup"},
        {L"C:\\dir\\name.", 1, L"C:\\dir\\", L"name."},
        {L"C:\\d\\x.y z", 1, L"C:\\d\\", L"x.y z"},
        {L"C:\\dir\\", 0, L"C:\\dir\\", L""},
        {nullptr, 0, L"", L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.path ? row.path : L"(null)"));
        EXPECT_EQ(produce([&](int64_t out) { path_directory_part(row.path, out); }), row.folder);
        EXPECT_EQ(produce([&](int64_t out) { path_file_part(row.path, row.flags, out); }), row.file);
    }
}

// The source may be the text just built at the output position.
TEST(PathParts, SourceBuiltAtTheOutputPosition) {
    int64_t saved = temp_position();
    temp_append(L"C:\\some folder\\setup.exe");
    path_file_part(temp_address(saved), 1, saved);
    wchar_t* result = nullptr;
    string_assign_temp(&result, saved);
    EXPECT_STREQ(result, L"setup");
    string_free(result);
}

// Fixed names in user folders: a file of that name is replaced by a new
// one, a folder there makes the create fail; removal deletes a file,
// reports a missing one as nothing and one held open as not deleted.
// (Links at such names are tried end to end, with Unix symlinks.)
TEST_F(FilesTest, LinkSafeCreateReadAndDelete) {
    std::wstring name = path(L"fixed.log");
    write_bytes(name, "old text that is longer");
    ASSERT_NE(file_create_new(0, name.c_str()), 0);
    file_write_line(0, L"new");
    file_close(0);
    EXPECT_EQ(read_bytes(name), "new\r\n");
    ASSERT_NE(file_open_read_no_link(0, name.c_str()), 0);
    EXPECT_EQ(produce([](int64_t out) { file_read_line(0, out); }), L"new");
    file_close(0);
    CreateDirectoryW(path(L"taken").c_str(), nullptr);
    EXPECT_EQ(file_create_new(0, path(L"taken").c_str()), 0);
    EXPECT_EQ(file_open_read_no_link(0, path(L"taken").c_str()), 0);

    EXPECT_EQ(file_delete_no_link(path(L"missing.txt").c_str()), 0);
    EXPECT_EQ(file_delete_no_link(path(L"taken").c_str()), 0);
    HANDLE held = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(file_delete_no_link(name.c_str()), -1);
    CloseHandle(held);
    EXPECT_EQ(path_size(name.c_str()), 5);
    EXPECT_EQ(file_delete_no_link(name.c_str()), 1);
    EXPECT_EQ(path_size(name.c_str()), PATH_SIZE_MISSING);

    write_bytes(path(L"source.bin"), std::string(200000, 'p'));
    write_bytes(path(L"copy.bin"), "stale");
    EXPECT_EQ(file_copy_new(path(L"source.bin").c_str(), path(L"copy.bin").c_str()), 1);
    EXPECT_EQ(read_bytes(path(L"copy.bin")), std::string(200000, 'p'));
}

// A path of MAX_PATH characters or more is refused whole: cut to MAX_PATH
// it would name another folder, which would be created.
TEST_F(FilesTest, PathsOfMaxPathOrMoreAreRefused) {
    std::wstring tail(MAX_PATH, L'x');
    std::wstring long_path = path(tail);
    EXPECT_EQ(directory_create(long_path.c_str()), 0);
    EXPECT_EQ(path_size(long_path.c_str()), PATH_SIZE_MISSING);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path(L"x*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a cut folder was created";
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
}
