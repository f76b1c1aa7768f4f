// Measuring a control's text in its own font.
#pragma once
#include <windows.h>

// The extent of the control's window text (or of `text` when given).
SIZE text_extent(HWND hwnd, const wchar_t* text = nullptr);
