// The desktop shortcut PikeHarbour.LNK to the installed product.
#pragma once
#include <stdint.h>

// The desktop folder without a trailing backslash; empty when not found.
void desktop_folder(int64_t out);
// Makes desktop\PikeHarbour.LNK to folder + "PikeHarbour64.exe"; true when
// the file read back is a link that names that target.
bool create_desktop_shortcut(const wchar_t* folder);
