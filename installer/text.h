// Small helpers over the runtime's string protocol for the installer's
// path and message building.
#pragma once
#include <stdint.h>

// A text built in the temporary buffer and handed to one call; release it
// right after that call so the buffer position goes back.
struct BuiltText {
    int64_t saved;
    const wchar_t* text;
};

BuiltText text_join(const wchar_t* a, const wchar_t* b, const wchar_t* c = nullptr,
                    const wchar_t* d = nullptr);
void text_release(BuiltText built);
// variable = a + b + c + d
void text_assign(wchar_t** variable, const wchar_t* a, const wchar_t* b = nullptr,
                 const wchar_t* c = nullptr, const wchar_t* d = nullptr);
// Last character of a text, 0 for an empty one.
wchar_t text_last(const wchar_t* s);
// German text when language is 0, English otherwise.
const wchar_t* text_pick(const wchar_t* german, const wchar_t* english);
