// An earlier installation of this account (its settings file) or of all
// users (the HKLM record), as found when the installer role starts.
#pragma once
#include <stdint.h>
#include "installer/settings_file.h"

struct Installation {
    // A settings file naming a folder that holds the product, one that
    // cannot be used (never rewritten; removal tells the user), or an
    // all-users record.
    bool installed;
    int64_t language;           // the recorded language, -1 none
    // The settings file's folder with its backslash; empty without APPDATA,
    // or for an all-users installation whose record this account's file
    // does not name.
    wchar_t* settings_folder;
    Settings settings;          // the settings file as read (SETTINGS_MISSING: none)
    // The program-files folder with its backslash, where the folder page
    // starts; empty when it is not a folder.
    wchar_t* program_files;
};

Installation locate_installation();
// The folder the page and an unattended run without /D= propose:
// program files + "PikeHarbour\" (only "PikeHarbour\" without one).
void installation_proposed_folder(const Installation* found, wchar_t** folder);
// The folder the installation's product is in (with one backslash):
// the all-users record's, or the settings file's when it is usable; empty
// when there is none or the file cannot be used.
void installation_product_folder(const Installation* found, wchar_t** folder);
