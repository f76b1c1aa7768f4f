// Every failure path goes through here, so the log always carries the code
// and the user always gets the message that fits: the rights advice only
// for access denied, "not enough space" for a full disk.
#include "installer/error_text.h"
#include "installer/dialogs.h"
#include "installer/text.h"
#include "runtime/strings.h"

// The system's text for `error` at `out`, without its line end; empty when
// the system has none.
static void system_text(DWORD error, int64_t out) {
    wchar_t text[256] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, 255, nullptr);
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' ||
                          text[length - 1] == L' ' || text[length - 1] == L'.')) {
        length--;
    }
    text[length] = 0;
    temp_set_position(out);
    temp_append(text);
}

// "N (text)" at `out`.
static void error_code_text(DWORD error, int64_t out) {
    temp_set_position(out);
    string_from_integer(static_cast<int64_t>(error), temp_position());
    int64_t text_at = temp_position();
    system_text(error, text_at);
    if (string_length(temp_address(text_at)) == 0) {
        return;
    }
    wchar_t* text = nullptr;
    string_assign_temp(&text, text_at);
    temp_append(L" (");
    temp_append(text);
    temp_append(L")");
    string_free(text);
}

// `subject` may lie in the temporary buffer (a path just built), which
// the error's text may grow and move: it is copied first.
void error_log(const wchar_t* step, const wchar_t* subject, DWORD error) {
    wchar_t* kept = nullptr;
    string_assign(&kept, subject);
    int64_t saved = temp_position();
    error_code_text(error, saved);
    wchar_t* code = nullptr;
    string_assign_temp(&code, saved);
    BuiltText result = text_join(kept, string_length(kept) > 0 ? L": error " : L"error ", code);
    installer_log(step, result.text);
    text_release(result);
    string_free(code);
    string_free(kept);
}

static void rights_message(const wchar_t* folder, int64_t out) {
    temp_set_position(out);
    temp_append(text_pick(L"Wahrscheinlich haben Sie nicht die nötigen Rechte "
                          L"'Pikeharbour64.exe' in das '",
                          L"You probably don't have the necessary user rights to copy "
                          L"'Pikeharbour64.exe' into '"));
    temp_append(folder);
    temp_append(text_pick(L"' Verzeichnis zu kopieren!\n\nBitte loggen Sie sich mit den nötigen "
                          L"Rechten auf dem Computer ein und starten Pikeharboursetup erneut!",
                          L"'!\n\nPlease get 'admin rights' for your computer and start "
                          L"Pikeharboursetup again!"));
}

// `folder` must not lie in the temporary buffer: the message is built
// there.
void error_message(DWORD error, const wchar_t* folder, int64_t out) {
    if (error == ERROR_ACCESS_DENIED) {
        rights_message(folder, out);
        return;
    }
    temp_set_position(out);
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
        temp_append(text_pick(L"Auf dem Laufwerk von '", L"There is not enough space on the "
                                                        L"drive of '"));
        temp_append(folder);
        temp_append(text_pick(L"' ist nicht genug Platz für Pikeharbour.\n\nBitte schaffen Sie "
                              L"Platz und starten Pikeharboursetup erneut!",
                              L"' for Pikeharbour.\n\nPlease free some space and start "
                              L"Pikeharboursetup again!"));
        return;
    }
    temp_append(text_pick(L"'Pikeharbour64.exe' konnte nicht nach '",
                          L"'Pikeharbour64.exe' could not be written into '"));
    temp_append(folder);
    temp_append(text_pick(L"' geschrieben werden: Windows-Fehler ", L"': Windows error "));
    error_code_text(error, temp_position());
    temp_append(L".");
}

void error_report(const wchar_t* step, const wchar_t* subject, const wchar_t* folder,
                  DWORD error) {
    error_log(step, subject, error);
    int64_t saved = temp_position();
    error_message(error, folder, saved);
    wchar_t* message = nullptr;
    string_assign_temp(&message, saved);
    installer_tell(text_pick(L"Pikeharbour Setup Fehler", L"Pikeharbour Setup Error"), message);
    string_free(message);
}
