// Modal message boxes over every visible window of the calling thread.
#pragma once
#include <stdint.h>

int64_t message_box(const wchar_t* caption, const wchar_t* text, uint32_t flags);
