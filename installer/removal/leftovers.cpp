// The removal's leftovers, gathered into one message.
#include "installer/removal/leftovers.h"
#include "installer/dialogs.h"
#include "installer/error_text.h"
#include "installer/text.h"
#include "runtime/strings.h"

// One line per leftover, each starting with a line break.
static wchar_t* s_left;

void leftovers_reset() {
    string_assign(&s_left, L"");
}

// `what` may be a path just built in the temporary buffer, which the
// log line grows: it is listed first.
void leftovers_note(const wchar_t* what, DWORD error) {
    text_assign(&s_left, s_left, L"\n", what);
    error_log(L"Could not be deleted", what, error);
}

bool leftovers_report() {
    if (string_length(s_left) == 0) {
        return false;
    }
    BuiltText text = text_join(
        text_pick(L"Pikeharbour wurde entfernt, aber dies konnte nicht gelöscht werden:\n",
                  L"Pikeharbour was removed, but this could not be deleted:\n"),
        s_left,
        text_pick(L"\n\nBitte löschen Sie es von Hand.", L"\n\nPlease delete it by hand."));
    installer_tell(text_pick(L"Pikeharbour Setup Fehler", L"Pikeharbour Setup Error"), text.text);
    text_release(text);
    return true;
}
