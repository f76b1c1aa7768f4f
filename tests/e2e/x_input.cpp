// xdotool started from the Windows side.
#include "x_input.h"
#include <vector>
#include "sandbox_files.h"
#include "setup_driver.h"

namespace {

typedef char*(CDECL* UnixFileName)(const wchar_t*);

std::string unix_name(const std::wstring& dos_path) {
    auto convert = reinterpret_cast<UnixFileName>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (convert == nullptr) {
        return "";
    }
    char* name = convert(dos_path.c_str());
    if (name == nullptr) {
        return "";
    }
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Single quotes for the shell; the texts typed here hold none.
bool run_xdotool(const std::string& arguments) {
    std::wstring marker = L"C:\\e2e\\xdotool.done";
    folder_make(L"C:\\e2e");
    DeleteFileW(marker.c_str());
    std::string marker_unix = unix_name(marker);
    if (marker_unix.empty()) {
        return false;
    }
    std::string script = "/usr/bin/xdotool " + arguments + "; touch '" + marker_unix + "'";
    std::wstring command = L"/bin/sh -c \"";
    for (char c : script) {
        command += static_cast<wchar_t>(c);
    }
    command += L"\"";
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    if (process.hProcess != nullptr) {
        CloseHandle(process.hProcess);
    }
    if (process.hThread != nullptr) {
        CloseHandle(process.hThread);
    }
    return wait_until([&] { return file_exists(marker); }, 10000);
}

}  // namespace

bool x_input_available() {
    return GetFileAttributesW(L"Z:\\usr\\bin\\xdotool") != INVALID_FILE_ATTRIBUTES &&
           !env_value(L"DISPLAY").empty();
}

bool x_click(const RECT& r) {
    int x = (r.left + r.right) / 2;
    int y = (r.top + r.bottom) / 2;
    return run_xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) +
                       " click 1");
}

bool x_type(const std::string& text) {
    return run_xdotool("type --delay 5 '" + text + "'");
}

bool x_key(const std::string& key) {
    return run_xdotool("key " + key);
}

// Wine keeps the X window of a top-level window in a window property,
// which other processes can read too.
bool x_focus(HWND window) {
    auto x_window = reinterpret_cast<uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
    if (x_window == 0) {
        return false;
    }
    return run_xdotool("windowfocus --sync " + std::to_string(x_window));
}
