// Modal message boxes over every visible window of the calling thread.
#pragma once
#include <windows.h>
#include <stdint.h>

// `flags` are MessageBoxW's MB_ flags; the answer is its ID number.
int64_t message_box(const wchar_t* caption, const wchar_t* text, uint32_t flags);
