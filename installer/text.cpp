// Building texts for the installer through the temporary string buffer.
#include "installer/text.h"
#include "installer/session.h"
#include "runtime/strings.h"

BuiltText text_join(const wchar_t* a, const wchar_t* b, const wchar_t* c, const wchar_t* d) {
    BuiltText built;
    built.saved = temp_position();
    temp_append(a);
    temp_append(b);
    temp_append(c);
    temp_append(d);
    built.text = temp_argument(built.saved);
    return built;
}

void text_release(BuiltText built) {
    temp_set_position(built.saved);
}

void text_assign(wchar_t** variable, const wchar_t* a, const wchar_t* b, const wchar_t* c,
                 const wchar_t* d) {
    int64_t saved = temp_position();
    temp_append(a);
    temp_append(b);
    temp_append(c);
    temp_append(d);
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
