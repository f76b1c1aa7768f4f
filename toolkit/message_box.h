// Modal message boxes over every visible window of the calling thread.
#pragma once
#include <windows.h>
#include <stdint.h>

// A question whose Yes gives something up: Yes and No, with No the default
// button, so that Enter or Space on the box as it opens answers No.
constexpr uint32_t MESSAGE_BOX_DEFAULT_NO = MB_YESNO | MB_DEFBUTTON2;

// `flags` are MessageBoxW's MB_ flags; the answer is its ID number.
int64_t message_box(const wchar_t* caption, const wchar_t* text, uint32_t flags);
