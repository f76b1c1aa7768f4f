// A running product before its file is written or deleted: every process
// that runs it is found, named to the user, and closed gracefully when the
// user (or /CLOSEAPPLICATIONS) agrees.
#pragma once
#include <stdint.h>

enum ProductClose : int32_t {
    CLOSE_NOTHING_RUNNING,
    CLOSE_CLOSED,       // every process that ran it has ended
    CLOSE_DECLINED,     // not asked to close: No, or unattended without /CLOSEAPPLICATIONS
    CLOSE_REFUSED,      // asked, and still running (or out of reach)
};

// How long a program asked to close may take: long enough to answer its
// own question about unsaved work.
constexpr uint32_t CLOSE_WAIT_MS = 15000;

// True when no process runs the file at `first` or `second` (either may be
// null, empty or missing) any more; false when the change must not happen.
// The outcome stays in g_session.product_close for the message.
bool product_close_running(const wchar_t* first, const wchar_t* second);
// The product executable is in use, or did not close when asked: the
// message for an installation (removal false) or a removal.
void report_product_in_use(bool removal);
