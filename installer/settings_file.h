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
// in `settings_folder` cannot be used and why, naming the file.
void settings_report_unusable(const wchar_t* settings_folder, const Settings* settings);

// This account's settings folder, %APPDATA%\PikeHarbour\ with its
// backslash; empty without APPDATA.
void settings_folder_of_account(wchar_t** folder);
// The folder line of the settings file in `settings_folder` when the file
// is usable; empty otherwise.
void settings_file_folder(const wchar_t* settings_folder, wchar_t** folder);
// `folder` holds a file at the product's name.
bool settings_folder_holds_product(const wchar_t* folder);
// The settings file in `settings_folder` names a folder that holds the
// product: only then is it an installation (a file left behind by an
// all-users one is not).
bool settings_names_product(const wchar_t* settings_folder);
// Writes this account's settings file for an installation in
// `install_folder`, making its folder first; `settings_folder` is set to
// that folder (empty without APPDATA). ERROR_SUCCESS or the failed step's
// Windows error.
DWORD settings_write_installation(const wchar_t* install_folder, int64_t language,
                                  const Settings* old, wchar_t** settings_folder);
