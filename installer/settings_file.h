// The settings file %APPDATA%\PikeHarbour\PikeHarbour.ini: the one reader
// and checker that every use of it goes through (the language, the folder
// that removal and a reinstall act on, the rewrite that keeps other lines).
#pragma once
#include <windows.h>
#include <stdint.h>

enum SettingsState : int32_t { SETTINGS_MISSING, SETTINGS_USABLE, SETTINGS_UNUSABLE };

struct Settings {
    int32_t state;
    wchar_t* folder;        // the folder line's folder with one backslash; empty: none
    int64_t language;       // the last language line's value, -1 none
    const wchar_t* problem; // SETTINGS_UNUSABLE: why, for the log
    char* kept;             // every other non-empty line as read, each ending CR LF
    int64_t kept_size;
};

// Reads `path` (no link followed) once into the record; a missing file
// leaves SETTINGS_MISSING.
void settings_read(const wchar_t* path, Settings* settings);
void settings_release(Settings* settings);
// The record read by locate_installation (settings_current().state is
// SETTINGS_MISSING before that or without APPDATA).
Settings* settings_current();
// Writes the lines of a settings file into the open file `id`: the folder
// line, then the old file's other lines (old non-null) or a language line.
// False when a write fell short.
bool settings_write_lines(int64_t id, const wchar_t* folder, int64_t language,
                          const Settings* old);
// Writes the settings file `folder`PikeHarbour.ini for an installation in
// `install_folder`: into a new file beside it, renamed over the old one
// when complete. ERROR_SUCCESS or the failed step's Windows error.
DWORD settings_replace(const wchar_t* folder, const wchar_t* install_folder, int64_t language,
                       const Settings* old);
// Tells the user (log, or a box in both languages) that the settings file
// cannot be used and why, naming the file.
void settings_report_unusable();
