// Helpers for the checks of the built setup: path conversion, whole-file
// reads and resource bytes.
#include "exe_file.h"
#include <fstream>
#include <sstream>
#include <zlib.h>

std::wstring unix_path_to_windows(const std::string& path) {
    std::wstring result = L"Z:";
    for (char c : path) {
        result += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return result;
}

std::vector<uint8_t> read_whole_file(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    LARGE_INTEGER size;
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    if (!ok || got != bytes.size()) {
        bytes.clear();
    }
    return bytes;
}

std::vector<std::string> embedded_file_paths() {
    std::vector<uint8_t> text = read_whole_file(unix_path_to_windows(PH_EMBEDDED_FILES));
    std::istringstream lines(std::string(text.begin(), text.end()));
    std::vector<std::string> paths;
    std::string line;
    while (std::getline(lines, line)) {
        paths.push_back(line);
    }
    return paths;
}

std::vector<uint8_t> setup_resource(HMODULE setup, LPCWSTR type, LPCWSTR name) {
    HRSRC found = FindResourceW(setup, name, type);
    if (!found) {
        return {};
    }
    DWORD size = SizeofResource(setup, found);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(setup, found)));
    if (!data) {
        return {};
    }
    return std::vector<uint8_t>(data, data + size);
}

std::vector<uint8_t> inflated(const std::vector<uint8_t>& block, size_t length) {
    std::vector<uint8_t> bytes(length + 1);
    uLongf size = static_cast<uLongf>(bytes.size());
    if (uncompress(bytes.data(), &size, block.data(), static_cast<uLong>(block.size())) != Z_OK) {
        return {};
    }
    bytes.resize(size);
    return bytes;
}
