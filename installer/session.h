// What the installer role works with once it runs: the texts' language,
// whether a user answers questions, the installation found at start, and
// what the running installation has made. Install and removal set the
// first two from their request; the pages set the language as it is chosen.
#pragma once
#include <stdint.h>
#include "installer/installation.h"

struct Session {
    int64_t language;           // -1 none chosen, 0 German, anything else English
    bool unattended;            // questions get their default answer, reports go to the log
    Installation found;
    wchar_t* install_folder;    // the installation's folder, with its backslash
    wchar_t* backup_folder;     // the safety copy's folder
    bool shortcut_made;         // the shortcut read back intact
    int32_t product_close;      // ProductClose of the last check for a running product
    bool product_closed_here;   // it closed processes of this session
};

extern Session g_session;

// File number of the unattended log; the procedures use file number 0.
constexpr int64_t LOG_FILE_ID = 1;

[[noreturn]] void installer_exit();

// What an installation or a removal is asked to do, by the window, the
// unattended mode or a test alike.
struct RunRequest {
    // Install: the target folder as given (the path field, /D= or the
    // proposal). Removal: where to look when no installation is recorded.
    const wchar_t* folder;
    int64_t language;           // 0 German, anything else English
    bool unattended;
};

// The request's language and mode hold for the texts and questions that
// follow.
void session_begin(const RunRequest& request);
