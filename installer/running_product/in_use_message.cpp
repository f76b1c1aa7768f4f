// What the user is told when the product is running: the product
// executable could not be replaced or deleted, or it did not close when
// asked to.
#include "installer/dialogs.h"
#include "installer/running_product/close_product.h"
#include "installer/session.h"
#include "installer/text.h"

// Both running-product messages end by asking for the same step again.
static void report_then_start_again(const wchar_t* head, bool removal) {
    BuiltText text = text_join(head,
                               removal ? text_pick(L"Deinstallation", L"removal")
                                       : text_pick(L"Installation", L"installation"),
                               text_pick(L" erneut.", L" again."));
    installer_tell(L"Pikeharbour Setup", text.text);
    text_release(text);
}

// A program that was asked to close and did not: said as such, since the
// user agreed to have it closed.
static void report_product_still_running(bool removal) {
    report_then_start_again(
        text_pick(L"Pikeharbour wurde nicht beendet und läuft noch. Das installierte Programm "
                  L"wurde nicht verändert.\n\nBitte beenden Sie Pikeharbour und starten Sie "
                  L"die ",
                  L"Pikeharbour did not close and is still running. The installed program was "
                  L"left unchanged.\n\nPlease close Pikeharbour and start the "),
        removal);
}

void report_product_in_use(bool removal) {
    if (g_session.product_close == CLOSE_REFUSED) {
        report_product_still_running(removal);
        return;
    }
    report_then_start_again(
        text_pick(L"'Pikeharbour64.exe' wird gerade benutzt und konnte nicht gelöscht werden."
                  L"\n\nBitte beenden Sie Pikeharbour und starten Sie die ",
                  L"'Pikeharbour64.exe' is in use and could not be deleted.\n\nPlease close "
                  L"Pikeharbour and start the "),
        removal);
}
