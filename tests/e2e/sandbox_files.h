// File helpers for the end-to-end tests: whole-file reads and writes on the
// sandbox's C: drive, folder set-up, Unix links, and reading a shortcut back.
#pragma once
#include <string>
#include <vector>

std::string file_bytes(const std::wstring& path);
bool file_exists(const std::wstring& path);
bool folder_exists(const std::wstring& path);
void file_put(const std::wstring& path, const std::string& bytes);
// Creates every missing folder of the path.
void folder_make(const std::wstring& path);
// Deletes a folder with everything in it; nothing when it is missing.
void folder_remove(const std::wstring& path);
// A Unix path of the build tree as the Windows side names it (Z:).
std::wstring unix_to_windows(const std::string& unix_path);
std::wstring env_value(const wchar_t* name);
// The Unix name Wine gives a path of the sandbox; empty when it has none.
std::string unix_name(const std::wstring& dos_path);
// Runs a /bin/sh script on the Linux side and waits (up to 10 s) until it
// has finished. Wine starts Unix programs through CreateProcessW but hands
// back no usable process handle, so the script touches a marker file on C:
// at its end and the caller waits for that file.
bool unix_shell(const std::string& script);
// A Unix symlink at `link` to `target`: what stands in for a Windows link
// (symbolic link, junction) that a user put at a fixed name.
bool unix_symlink(const std::wstring& target, const std::wstring& link);

struct ShortcutFields {
    bool loaded = false;
    std::wstring target;
    std::wstring icon_path;
    int icon_index = -1;
    int show_command = 0;
    std::wstring working_folder;
};

ShortcutFields shortcut_read(const std::wstring& path);
