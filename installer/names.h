// The fixed names of an installation: its files, folders and registry
// keys, spelled once. Message texts keep their own spellings (some name a
// file differently from the file system) and are not built from these.
#pragma once

// Files.
inline constexpr wchar_t PRODUCT_FILE[] = L"Pikeharbour64.exe";
// The shortcut has always named its target with this spelling; the file
// system finds the same file, and a shortcut's properties show it as made.
inline constexpr wchar_t SHORTCUT_TARGET_FILE[] = L"PikeHarbour64.exe";
inline constexpr wchar_t SETUP_FILE[] = L"PikeHarbour_Setup.exe";
inline constexpr wchar_t SETTINGS_FILE[] = L"PikeHarbour.ini";
inline constexpr wchar_t SHORTCUT_FILE[] = L"PikeHarbour.LNK";
inline constexpr wchar_t LOG_FILE[] = L"PikeHarbour_Setup.log";

// Folders, each with its trailing backslash: the product's folder under
// program files, the settings folder under APPDATA, the working folder in
// the profile; the safety copy's folder under the profile or program files.
inline constexpr wchar_t PRODUCT_FOLDER[] = L"PikeHarbour\\";
inline constexpr wchar_t SETUP_COPY_FOLDER[] = L"PikeHarbour\\SetupBackup\\";
inline constexpr wchar_t SETTINGS_FOLDER[] = L"PikeHarbour\\";
// The settings file from APPDATA on (APPDATA has no trailing backslash).
inline constexpr wchar_t SETTINGS_PATH_TAIL[] = L"\\PikeHarbour\\PikeHarbour.ini";

// Registry keys (64-bit view).
inline constexpr wchar_t UNINSTALL_KEY[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PikeHarbour";
inline constexpr wchar_t ACTIVE_SETUP_KEY[] =
    L"Software\\Microsoft\\Active Setup\\Installed Components\\PikeHarbour";
inline constexpr wchar_t ALL_USERS_RECORD_KEY[] = L"Software\\PikeHarbour";
