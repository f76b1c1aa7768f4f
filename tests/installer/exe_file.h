// Reading the built setup and the files the build embedded into it.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

std::wstring unix_path_to_windows(const std::string& path);
std::vector<uint8_t> read_whole_file(const std::wstring& path);
// The two lines of embedded_files.txt: product path, background path.
std::vector<std::string> embedded_file_paths();
// A resource of the setup as raw bytes; empty when it is missing.
std::vector<uint8_t> setup_resource(HMODULE setup, LPCWSTR type, LPCWSTR name);
// The zlib stream `block` inflated (at most `length` bytes); empty when it
// does not inflate.
std::vector<uint8_t> inflated(const std::vector<uint8_t>& block, size_t length);
