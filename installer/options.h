// What the parameters after "-admin" ask for. They come from whoever
// started the setup, an unelevated user included: a wish, never more (a
// folder or log path is checked like any other path from the user).
#pragma once
#include <stdint.h>

struct SetupOptions {
    bool unattended;            // /S
    bool remove;                // /REMOVE with /S
    // /REMOVE without /S (the Apps & features entry's command): the
    // maintenance page comes up with "remove" selected.
    bool remove_requested;
    bool allow_downgrade;       // /ALLOWDOWNGRADE
    bool close_applications;    // /CLOSEAPPLICATIONS: a running product is asked to close
    int64_t language;           // /LANG=: 0 German, 1 English, -2 not given
    wchar_t* target;            // /D= value, null when not given
    wchar_t* log;               // /LOG= value, null when not given
};

extern SetupOptions g_options;

// Reads every parameter after "-admin" into g_options; false when one is
// unknown or malformed (only with /S: without it the interactive installer
// ignores them all but /REMOVE).
bool options_parse();
// "/S" in any case.
bool options_is_silent_flag(const wchar_t* parameter);
