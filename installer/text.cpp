// Building texts for the installer through the temporary string buffer.
#include "installer/text.h"
#include "installer/session.h"
#include "runtime/strings.h"

// Any part may be text built earlier in the buffer, which appending an
// earlier part may grow and move: each is found again by its offset.
static void append_parts(const wchar_t* a, const wchar_t* b, const wchar_t* c, const wchar_t* d) {
    const wchar_t* parts[] = {a, b, c, d};
    int64_t offsets[4];
    for (int i = 0; i < 4; i++) {
        offsets[i] = temp_offset_of(parts[i]);
    }
    for (int i = 0; i < 4; i++) {
        temp_append(offsets[i] >= 0 ? temp_address(offsets[i]) : parts[i]);
    }
}

BuiltText text_join(const wchar_t* a, const wchar_t* b, const wchar_t* c, const wchar_t* d) {
    BuiltText built;
    built.saved = temp_position();
    append_parts(a, b, c, d);
    built.text = temp_argument(built.saved);
    return built;
}

void text_release(BuiltText built) {
    temp_set_position(built.saved);
}

void text_assign(wchar_t** variable, const wchar_t* a, const wchar_t* b, const wchar_t* c,
                 const wchar_t* d) {
    int64_t saved = temp_position();
    append_parts(a, b, c, d);
    string_assign_temp(variable, saved);
}

wchar_t text_last(const wchar_t* s) {
    int64_t length = string_length(s);
    if (length == 0) {
        return 0;
    }
    return s[length - 1];
}

const wchar_t* text_pick(const wchar_t* german, const wchar_t* english) {
    if (g_session.language == 0) {
        return german;
    }
    return english;
}
