// The desktop shortcut, made by the Windows Script Host from a small script.
#pragma once
#include <stdint.h>

// The desktop folder without a trailing backslash; empty when not found.
void desktop_folder(int64_t out);
void create_desktop_shortcut(const wchar_t* folder);
