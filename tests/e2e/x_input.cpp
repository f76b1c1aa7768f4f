// xdotool started from the Windows side.
#include "x_input.h"
#include <vector>
#include "sandbox_files.h"
#include "setup_driver.h"

namespace {

bool run_xdotool(const std::string& arguments) {
    return unix_shell("/usr/bin/xdotool " + arguments);
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
