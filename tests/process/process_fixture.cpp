#include "process_fixture.h"
#include "runtime/strings.h"

std::wstring child_path() {
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path = own;
    return path.substr(0, path.rfind(L'\\') + 1) + L"process_child.exe";
}

std::wstring scratch_folder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"ph_process_tests\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::vector<std::wstring> read_record(const std::wstring& path) {
    std::vector<std::wstring> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lines;
    }
    std::wstring text(16384, 0);
    DWORD got = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * 2), &got, nullptr);
    CloseHandle(file);
    text.resize(got / 2);
    size_t start = 0;
    for (size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void child_setup(const wchar_t* mode, const std::wstring& out) {
    SetEnvironmentVariableW(L"PH_CHILD_MODE", mode);
    SetEnvironmentVariableW(L"PH_CHILD_OUT", out.c_str());
    DeleteFileW(out.c_str());
}

std::wstring produce(void (*operation)(const wchar_t*, int64_t), const wchar_t* argument) {
    TempScope scope;
    operation(argument, scope.start);
    return std::wstring(scope.text(), (temp_position() - scope.start) / 2);
}
