// Closing a running product for the user before its file is written or
// deleted. The processes are found by the file's identity (the Restart
// Manager's report is added where Windows has one), named in one question
// and asked to close as a user would close their windows; a process is
// never ended by force, and one that runs another file is never asked.
#include "installer/running_product/close_product.h"
#include <windows.h>
#include <stdlib.h>
#include "files/path_buffer.h"
#include "installer/dialogs.h"
#include "installer/options.h"
#include "installer/pages/window.h"
#include "installer/session.h"
#include "installer/text.h"
#include "process/image_users.h"
#include "process/restart_manager.h"
#include "toolkit/message_box.h"
#include "toolkit/windows.h"

// Process records hold an image name each: too large for the stack.
static ImageUsers g_users;

static void log_process(DWORD id, const wchar_t* image, const wchar_t* what) {
    wchar_t number[16];
    _ultow(id, number, 10);
    BuiltText step = text_join(L"Process ", number, L" ", image);
    installer_log(step.text, what);
    text_release(step);
}

// A process the Restart Manager names as a user of the file is taken when
// it runs the product; one that only holds the file open is left alone
// (the change then fails as a file in use).
static void add_reported_users(const wchar_t* path, const FileIdentity* identity) {
    DWORD ids[IMAGE_USERS_LIMIT];
    int32_t count = restart_manager_users(path, ids, IMAGE_USERS_LIMIT);
    static wchar_t image[IMAGE_NAME_LIMIT];
    for (int32_t i = 0; i < count; i++) {
        if (image_users_add(identity, ids[i], &g_users, image) < 0) {
            log_process(ids[i], image, L"uses the product file but runs another program (or "
                                       L"cannot be opened): left alone");
        }
    }
}

// The path is copied first: it may lie in the temporary text buffer, which
// the log lines written on the way can move.
static void find_users(const wchar_t* path) {
    PathBuffer copy;
    FileIdentity identity;
    if (path == nullptr || !path_buffer_set_whole(&copy, path) || copy.length == 0 ||
        !file_identity_of(copy.text, &identity)) {
        return;
    }
    image_users_find(&identity, &g_users);
    add_reported_users(copy.text, &identity);
}

static bool user_agrees(const wchar_t* image) {
    if (g_session.unattended) {
        return g_options.close_applications != 0;
    }
    BuiltText text = text_join(
        text_pick(L"Pikeharbour läuft gerade:\n", L"Pikeharbour is running:\n"), image,
        text_pick(L"\n\nDas Setup kann Pikeharbour schließen und dann fortfahren. Pikeharbour "
                  L"fragt dabei eventuell, ob Sie Ihre Arbeit speichern möchten.\n\n"
                  L"Pikeharbour jetzt schließen und fortfahren?",
                  L"\n\nThe setup can close Pikeharbour and continue. Pikeharbour may ask "
                  L"you to save your work first.\n\nClose Pikeharbour now and continue?"));
    // Only Yes closes: No, Escape and the close box keep the program.
    bool yes = message_box(L"Pikeharbour Setup", text.text, MB_YESNO) == IDYES;
    text_release(text);
    return yes;
}

static const wchar_t* outcome_text(const ImageUser* user) {
    if (user->state == USER_ENDED) {
        return L"closed";
    }
    if (user->state == USER_ASKED) {
        return L"asked to close, still running after 15 s: left running";
    }
    return g_session.product_close == CLOSE_DECLINED
               ? L"not asked to close: left running"
               : L"no window to close in reach: left running";
}

// Asked in this session through its windows, in other sessions through the
// Restart Manager (a service account's setup sees no window of a user's
// session); then one bounded wait for all of them. A program without a
// window in reach, or in another session without the Restart Manager,
// cannot be asked: then none is, rather than closing some for nothing.
static bool close_users() {
    int32_t own = image_users_in_own_session(&g_users);
    if (image_users_ask_close(&g_users, false) < own) {
        return false;
    }
    if (own < g_users.count && restart_manager_close_others(&g_users) < 0) {
        installer_log(L"Restart Manager", L"not available for processes of other sessions");
        return false;
    }
    image_users_ask_close(&g_users, true);
    if (g_session.unattended) {
        return image_users_wait(&g_users, CLOSE_WAIT_MS, false);
    }
    // The window keeps painting while the program closes, but takes no
    // clicks, as under a message box.
    HWND window = window_handle(installer_window());
    EnableWindow(window, FALSE);
    bool ended = image_users_wait(&g_users, CLOSE_WAIT_MS, true);
    EnableWindow(window, TRUE);
    return ended;
}

bool product_close_running(const wchar_t* first, const wchar_t* second) {
    g_session.product_close = CLOSE_NOTHING_RUNNING;
    PathBuffer other;
    path_buffer_set(&other, second);
    find_users(first);
    find_users(other.text);
    if (g_users.count == 0) {
        return true;
    }
    if (g_users.overflow) {
        installer_log(L"Running product", L"more processes than the setup can close");
        g_session.product_close = CLOSE_REFUSED;
    } else if (!user_agrees(g_users.users[0].image)) {
        g_session.product_close = CLOSE_DECLINED;
    } else {
        g_session.product_close = close_users() ? CLOSE_CLOSED : CLOSE_REFUSED;
    }
    for (int32_t i = 0; i < g_users.count; i++) {
        log_process(g_users.users[i].id, g_users.users[i].image, outcome_text(&g_users.users[i]));
    }
    // Only what closed in this session can be started again by the launcher,
    // which runs as the user of this session.
    if (g_session.product_close == CLOSE_CLOSED && image_users_in_own_session(&g_users) > 0) {
        g_session.product_closed_here = 1;
    }
    image_users_release(&g_users);
    return g_session.product_close == CLOSE_CLOSED;
}
