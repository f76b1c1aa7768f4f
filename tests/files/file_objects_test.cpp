// File objects: the bytes each kind of write puts on disk, buffering, ids,
// and opens that must fail.
#include <zlib.h>
#include <vector>
#include "files_fixture.h"
#include "files/files.h"
#include "files/file_object.h"
#include "runtime/registry.h"

TEST_F(FilesTest, LinesAreUtf8WithCrLfAndNoByteOrderMark) {
    std::wstring name = path(L"lines.txt");
    ASSERT_NE(file_create(0, name.c_str()), 0);
    file_write_line(0, L"text1");
    file_write_line(0, L"text2");
    file_write_line(0, L"");
    file_write_line(0, L"Gr\u00fc\u00dfe language = 1");
    file_close(0);
    EXPECT_EQ(read_bytes(name), "text1\r\ntext2\r\n\r\nGr\xC3\xBC\xC3\x9F" "e language = 1\r\n");
}

TEST_F(FilesTest, Utf16LinesKeepTheUnitsAndEndWithCrLfUnits) {
    std::wstring name = path(L"wide.txt");
    ASSERT_NE(file_open_general(0, name.c_str(), FILE_MODE_CREATE, ENCODING_UTF16), 0);
    file_write_line(0, L"a\u20ac");
    file_close(0);
    EXPECT_EQ(read_bytes(name), std::string("a\0\xAC\x20\r\0\n\0", 8));
}

TEST_F(FilesTest, LargeBlockIsWrittenWithOneWriteAfterAnEmptyFlush) {
    std::vector<char> product(2488832);
    for (size_t i = 0; i < product.size(); i++) {
        product[i] = static_cast<char>((i * 7919) >> 3);
    }
    std::wstring name = path(L"product.exe");
    ASSERT_NE(file_create(0, name.c_str()), 0);
    int64_t calls = file_native_write_calls();
    EXPECT_EQ(file_write_data(0, product.data(), static_cast<int32_t>(product.size())), 2488832);
    // The empty buffer costs no system call; the block goes out in one.
    EXPECT_EQ(file_native_write_calls() - calls, 1);
    EXPECT_EQ(file_flush(0), 1);
    file_close(0);
    EXPECT_EQ(read_bytes(name), std::string(product.data(), product.size()));
}

TEST_F(FilesTest, EmptyNullAndNegativeBlocksWriteNothing) {
    std::wstring name = path(L"nothing.bin");
    ASSERT_NE(file_create(0, name.c_str()), 0);
    char byte = 'x';
    EXPECT_EQ(file_write_data(0, &byte, 0), 0);
    EXPECT_EQ(file_write_data(0, nullptr, 5), 0);
    EXPECT_EQ(file_write_data(0, &byte, -1), 0);
    EXPECT_EQ(file_write_data(9, &byte, 1), 0);
    file_close(0);
    EXPECT_EQ(read_bytes(name), "");
}

TEST_F(FilesTest, AnyIdFilesAreRecordAddressesAndCloseAllFlushesThem) {
    std::wstring first = path(L"first.txt");
    std::wstring second = path(L"second.txt");
    int64_t a = file_create(ANY_ID, first.c_str());
    int64_t b = file_create(ANY_ID, second.c_str());
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(*reinterpret_cast<HANDLE*>(a), reinterpret_cast<FileObject*>(a)->handle);
    file_write_line(a, L"one");
    file_write_line(b, L"two");
    file_close(ANY_ID);
    EXPECT_EQ(read_bytes(first), "one\r\n");
    EXPECT_EQ(read_bytes(second), "two\r\n");
}

TEST_F(FilesTest, CreatingALiveStaticIdAgainClosesTheOldFileFirst) {
    std::wstring first = path(L"old.txt");
    std::wstring second = path(L"new.txt");
    ASSERT_NE(file_create(3, first.c_str()), 0);
    file_write_line(3, L"kept");
    ASSERT_NE(file_create(3, second.c_str()), 0);
    EXPECT_EQ(read_bytes(first), "kept\r\n");
    file_close(3);
    EXPECT_EQ(file_eof(3), 0);
}

TEST_F(FilesTest, CreateOnAReadOnlyFileFailsAndLeavesItIntact) {
    std::wstring name = path(L"locked.ini");
    write_bytes(name, "keep me\r\n");
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(file_create(0, name.c_str()), 0);
    EXPECT_EQ(file_open(0, name.c_str()), 0);
    EXPECT_EQ(file_eof(0), 0);
    file_write_line(0, L"lost");
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(read_bytes(name), "keep me\r\n");
}

TEST_F(FilesTest, FilesHeldWithoutSharingCannotBeOpened) {
    std::wstring name = path(L"held.txt");
    write_bytes(name, "held\r\n");
    HANDLE holder = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_open_read(0, name.c_str()), 0);
    EXPECT_EQ(file_open(0, name.c_str()), 0);
    EXPECT_EQ(file_create(0, name.c_str()), 0);
    CloseHandle(holder);
    // And while we hold it, nobody else gets in.
    ASSERT_NE(file_open_read(0, name.c_str()), 0);
    HANDLE other = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    file_close(0);
    EXPECT_EQ(read_bytes(name), "held\r\n");
}

TEST_F(FilesTest, ReadOnlyFilesRefuseWrites) {
    std::wstring name = path(L"settings.ini");
    write_bytes(name, "a\r\n");
    ASSERT_NE(file_open_read(0, name.c_str()), 0);
    EXPECT_EQ(file_write_line(0, L"b"), 0);
    char byte = 'c';
    EXPECT_EQ(file_write_data(0, &byte, 1), 0);
    file_close(0);
    EXPECT_EQ(read_bytes(name), "a\r\n");
}

TEST_F(FilesTest, OpenAtTheEndAppends) {
    std::wstring name = path(L"log.txt");
    write_bytes(name, "one\r\n");
    ASSERT_NE(file_open_general(0, name.c_str(), FILE_MODE_READ_WRITE, static_cast<int32_t>(ENCODING_UTF8) | FILE_FLAG_AT_END), 0);
    file_write_line(0, L"two");
    file_close(0);
    EXPECT_EQ(read_bytes(name), "one\r\ntwo\r\n");
}

// The stored product inflated into a file: byte for byte for contents that
// do not compress and for contents that compress a thousandfold; a damaged,
// cut or overlong stream is refused (-1) however far it got.
TEST_F(FilesTest, InflatedBlockIsByteIdenticalAndDamageIsRefused) {
    std::string noise(3000000, 0);
    uint32_t state = 2463534242u;
    for (char& c : noise) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        c = static_cast<char>(state);
    }
    std::string runs = std::string(2000000, 0) + std::string(488832, 'P');
    auto deflated = [](const std::string& bytes) {
        std::string block(compressBound(static_cast<uLong>(bytes.size())), 0);
        uLongf size = static_cast<uLongf>(block.size());
        compress2(reinterpret_cast<Bytef*>(block.data()), &size,
                  reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
                  9);
        block.resize(size);
        return block;
    };
    auto write = [&](const std::string& block, int64_t limit) {
        EXPECT_NE(file_create(0, path(L"inflated.exe").c_str()), 0);
        int64_t written = file_write_inflated(0, block.data(), static_cast<int32_t>(block.size()),
                                              limit);
        file_close(0);
        return written;
    };
    for (const std::string* original : {&noise, &runs}) {
        std::string block = deflated(*original);
        int64_t size = static_cast<int64_t>(original->size());
        EXPECT_EQ(write(block, size), size);
        EXPECT_TRUE(read_bytes(path(L"inflated.exe")) == *original);
        std::string damaged = block;
        damaged[damaged.size() / 2] ^= 0x10;
        EXPECT_EQ(write(damaged, size), -1);
        EXPECT_EQ(write(block.substr(0, block.size() - 100), size), -1);
        EXPECT_EQ(write(block + "x", size), -1);
        EXPECT_EQ(write(block, size - 1), -1);
    }
    EXPECT_LT(deflated(runs).size(), runs.size() / 1000);
}
