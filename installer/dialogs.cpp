// Message boxes of the interactive installer, default answers and a log
// for the unattended one.
#include "installer/dialogs.h"
#include "files/files.h"
#include "installer/state.h"
#include "installer/text.h"
#include "toolkit/message_box.h"

int64_t installer_ask(const wchar_t* title, const wchar_t* text, int64_t unattended_answer) {
    if (g_installer.unattended) {
        installer_log(title, text);
        return unattended_answer;
    }
    return message_box(title, text, MB_YESNO);
}

void installer_tell(const wchar_t* title, const wchar_t* text) {
    if (g_installer.unattended) {
        installer_log(title, text);
        return;
    }
    message_box(title, text, MB_OK);
}

// Line feeds inside a message would split its log line, so they become
// spaces there.
void installer_log(const wchar_t* step, const wchar_t* result) {
    if (!g_installer.unattended) {
        return;
    }
    BuiltText line = text_join(step, L": ", result);
    wchar_t* text = (wchar_t*)line.text;
    for (wchar_t* c = text; *c != 0; c++) {
        if (*c == L'\n' || *c == L'\r') {
            *c = L' ';
        }
    }
    file_write_line(LOG_FILE_ID, text);
    text_release(line);
}
