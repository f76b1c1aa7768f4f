// Command-line parameters, split by the library's own rules: only U+0020
// separates tokens, a backslash is an ordinary character, and a closing
// quote always ends a quoted token. The line is scanned afresh on each call.
#include <windows.h>
#include "process/command_line.h"
#include "process/process_state.h"
#include "runtime/strings.h"

struct Span {
    const wchar_t* start;
    int64_t length;
};

// Returns the character just behind the token that starts at `place`.
static const wchar_t* token_end(const wchar_t* place, Span* token) {
    if (*place == L'"') {
        const wchar_t* end = place + 1;
        while (*end != 0 && *end != L'"') {
            end++;
        }
        *token = {place + 1, end - (place + 1)};
        return *end == 0 ? end : end + 1;
    }
    const wchar_t* end = place;
    while (*end != 0 && *end != L' ') {
        if (*end == L'"') {
            end++;
            while (*end != 0 && *end != L'"') {
                end++;
            }
        }
        if (*end != 0) {
            end++;
        }
    }
    *token = {place, end - place};
    return *end == 0 ? end : end + 1;
}

// Counts tokens (the program name is token -1). With `wanted` set, stops at
// the token of that index and returns true; else runs to the end.
static bool scan(const wchar_t* line, const int32_t* wanted, Span* found, int32_t* counter) {
    *counter = -1;
    const wchar_t* place = line;
    while (true) {
        while (*place == L' ') {
            place++;
        }
        if (*place == 0) {
            *found = {place, 0};
            return false;
        }
        place = token_end(place, found);
        ++*counter;
        // The counter counts parameters; the token just found has index
        // counter - 1, so the program name is token -1.
        if (wanted != nullptr && *counter - 1 == *wanted) {
            return true;
        }
    }
}

static void write_without_quotes(const Span* span, int64_t out) {
    wchar_t* target = temp_reserve(static_cast<int32_t>(span->length), out);
    int32_t kept = 0;
    for (int64_t i = 0; i < span->length && span->start[i] != 0; i++) {
        if (span->start[i] != L'"') {
            target[kept] = span->start[i];
            kept++;
        }
    }
    temp_give_back(static_cast<int32_t>(span->length - kept));
    target[kept] = 0;
}

void program_parameter(int32_t index, int64_t out) {
    if (index >= 0) {
        g_process_state->parameter_position = index;
    }
    int32_t wanted = g_process_state->parameter_position;
    Span found;
    int32_t counter;
    if (scan(GetCommandLineW(), &wanted, &found, &counter)) {
        g_process_state->parameter_position++;
    }
    write_without_quotes(&found, out);
}

void program_parameter_next(int64_t out) {
    program_parameter(-1, out);
}

int32_t program_parameter_count() {
    Span found;
    int32_t counter;
    scan(GetCommandLineW(), nullptr, &found, &counter);
    return counter;
}
