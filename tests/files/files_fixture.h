// A scratch folder on the prefix's C: drive and raw byte helpers, so the
// tests check what really lies on disk.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <functional>

class FilesTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::wstring path(const std::wstring& name) const { return folder_ + name; }
    std::wstring folder_;   // ends with a backslash
};

void write_bytes(const std::wstring& path, const std::string& bytes);
std::string read_bytes(const std::wstring& path);
// Runs a string-producing operation at the temporary buffer's position.
std::wstring produce(const std::function<void(int64_t)>& operation);
