// The installer role's state and its exit sequence, used by every way out
// of it.
#include "installer/session.h"
#include "images/images.h"
#include "runtime/runtime.h"

Session g_session;

void session_begin(const RunRequest& request) {
    g_session.language = request.language;
    g_session.unattended = request.unattended;
}

void installer_exit() {
    image_release(0);
    runtime_end();
}
