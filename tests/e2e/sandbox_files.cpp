// Whole-file helpers and the shortcut reader.
#include "sandbox_files.h"
#include "support/child_process.h"
#include "support/wait.h"
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <fstream>
#include <sstream>

std::string file_bytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool file_exists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folder_exists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void file_put(const std::wstring& path, const std::string& bytes) {
    folder_make(path.substr(0, path.find_last_of(L'\\')));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

void folder_make(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        if (at == std::wstring::npos) {
            return;
        }
    }
}

void folder_remove(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring full = path + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                folder_remove(full);
            } else {
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

std::wstring unix_to_windows(const std::string& unix_path) {
    std::wstring path = L"Z:";
    for (char c : unix_path) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return path;
}

std::wstring env_value(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD length = GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024) {
        return L"";
    }
    return value;
}

std::string unix_name(const std::wstring& dos_path) {
    typedef char*(CDECL * UnixFileName)(const wchar_t*);
    auto convert = reinterpret_cast<UnixFileName>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    char* name = convert != nullptr ? convert(dos_path.c_str()) : nullptr;
    if (name == nullptr) {
        return "";
    }
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Single quotes for the shell; the scripts given here hold none.
bool unix_shell(const std::string& script) {
    std::wstring marker =
        L"C:\\ph_unix_shell_" + std::to_wstring(GetCurrentProcessId()) + L".done";
    DeleteFileW(marker.c_str());
    std::string marker_unix = unix_name(marker);
    if (marker_unix.empty()) {
        return false;
    }
    std::string full = script + "; touch '" + marker_unix + "'";
    std::wstring command = L"/bin/sh -c \"" + std::wstring(full.begin(), full.end()) + L"\"";
    PROCESS_INFORMATION process = {};
    if (!child_start(process, command)) {
        return false;
    }
    if (process.hProcess != nullptr) {
        CloseHandle(process.hProcess);
    }
    if (process.hThread != nullptr) {
        CloseHandle(process.hThread);
    }
    return wait_until("the Unix shell's marker file", [&] { return file_exists(marker); }, 10000);
}

bool unix_symlink(const std::wstring& target, const std::wstring& link) {
    std::string from = unix_name(target);
    std::string at = unix_name(link);
    return !from.empty() && !at.empty() && unix_shell("ln -sfn '" + from + "' '" + at + "'");
}

ShortcutFields shortcut_read(const std::wstring& path) {
    ShortcutFields fields;
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return fields;
    }
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        fields.target = text;
        link->GetIconLocation(text, MAX_PATH, &fields.icon_index);
        fields.icon_path = text;
        link->GetShowCmd(&fields.show_command);
        link->GetWorkingDirectory(text, MAX_PATH);
        fields.working_folder = text;
        fields.loaded = true;
    }
    if (file != nullptr) {
        file->Release();
    }
    link->Release();
    return fields;
}
