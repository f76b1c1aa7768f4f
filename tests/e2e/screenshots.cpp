// Screen capture through the screen device context and libpng's
// simplified writer.
#include "screenshots.h"
#include "support/wait.h"
#include <png.h>
#include <vector>
#include "sandbox_files.h"
#include "setup_driver.h"

namespace {

std::vector<unsigned char> capture_rgb(const RECT& r) {
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> bgra(size_t(width) * height * 4);
    GetDIBits(memory, bitmap, 0, height, bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    for (size_t i = 0; i < size_t(width) * height; i++) {
        rgb[i * 3] = bgra[i * 4 + 2];
        rgb[i * 3 + 1] = bgra[i * 4 + 1];
        rgb[i * 3 + 2] = bgra[i * 4];
    }
    return rgb;
}

}  // namespace

void screenshot_save(HWND window, const std::string& name) {
    std::wstring folder = env_value(L"PH_SCREENSHOTS");
    if (folder.empty() || window == nullptr) {
        return;
    }
    folder_make(folder);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    GetWindowRect(window, &r);
    // The setup paints in its own process: it has finished after its last
    // change when two captures 50 ms apart agree.
    std::vector<unsigned char> rgb = capture_rgb(r);
    wait_until("the window painted", [&] {
        Sleep(50);
        std::vector<unsigned char> again = capture_rgb(r);
        bool same = again == rgb;
        rgb = std::move(again);
        return same;
    }, 5000);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    image.format = PNG_FORMAT_RGB;
    std::string path;
    for (wchar_t c : folder) {
        path += static_cast<char>(c);
    }
    path += "\\" + name + ".png";
    png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
}

unsigned client_pixel(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    RECT r{p.x, p.y, p.x + 1, p.y + 1};
    std::vector<unsigned char> rgb = capture_rgb(r);
    return (unsigned(rgb[0]) << 16) | (unsigned(rgb[1]) << 8) | rgb[2];
}
