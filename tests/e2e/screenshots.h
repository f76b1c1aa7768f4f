// Screenshots of the installer's window and message boxes, saved as PNG
// files when PH_SCREENSHOTS names a folder (on C:).
#pragma once
#include <windows.h>
#include <string>

// Saves the screen area of the window (frame included) as folder\name.png.
// Does nothing unless PH_SCREENSHOTS is set.
void screenshot_save(HWND window, const std::string& name);
// The colour of one pixel of a window's client area, as 0xRRGGBB.
unsigned client_pixel(HWND window, int x, int y);
