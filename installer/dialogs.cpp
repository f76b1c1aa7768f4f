// Message boxes of the interactive installer, default answers and a log
// for the unattended one.
#include "installer/dialogs.h"
#include <stdio.h>
#include "files/files.h"
#include "installer/session.h"
#include "installer/text.h"
#include "runtime/strings.h"
#include "toolkit/message_box.h"

int64_t installer_ask(const wchar_t* title, const wchar_t* text, int64_t unattended_answer) {
    if (g_session.unattended) {
        installer_log(title, text);
        return unattended_answer;
    }
    return message_box(title, text, MB_YESNO);
}

void installer_tell(const wchar_t* title, const wchar_t* text) {
    if (g_session.unattended) {
        installer_log(title, text);
        return;
    }
    message_box(title, text, MB_OK);
}

// A character that some viewer takes for a line end or that is no text:
// written as \xNN (\uNNNN), so that no value (a /D= folder, a settings
// line) can forge a line of the log.
static bool needs_escape(wchar_t c) {
    return c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029;
}

static void append_escaped(const wchar_t* text) {
    for (const wchar_t* c = text; c != nullptr && *c != 0; c++) {
        wchar_t unit[8] = {*c, 0};
        // The messages' own line breaks become spaces.
        if (*c == L'\n') {
            unit[0] = L' ';
        } else if (needs_escape(*c)) {
            _snwprintf(unit, 7, *c < 0x100 ? L"\\x%02X" : L"\\u%04X", (unsigned)*c);
            unit[7] = 0;
        }
        temp_append(unit);
    }
}

void installer_log(const wchar_t* step, const wchar_t* result) {
    if (!g_session.unattended) {
        return;
    }
    // Both may lie in the temporary buffer, which may move as it grows.
    wchar_t* step_copy = nullptr;
    wchar_t* result_copy = nullptr;
    string_assign(&step_copy, step);
    string_assign(&result_copy, result);
    {
        TempScope line;
        append_escaped(step_copy);
        temp_append(L": ");
        append_escaped(result_copy);
        file_write_line(LOG_FILE_ID, line.text());
    }
    string_free(step_copy);
    string_free(result_copy);
}
