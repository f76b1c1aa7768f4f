// The installer window: its picture, its four pages and the event loop.
#pragma once
#include <stdint.h>

// The window's object number; 0 where there is none (unattended runs).
int64_t installer_window();
// Opens the window on the language page and runs until it is closed;
// the pages' handlers may end the program inside.
void run_installer_window();
// The embedded picture as the window's background (background.cpp).
void install_background(int64_t window);
