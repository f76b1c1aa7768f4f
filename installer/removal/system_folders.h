// The folders the system needs, which removal leaves even when empty.
#pragma once

// A drive root, the Windows folder, a program-files root, the folder of
// the profiles or a profile (`folder` with or without its backslash).
bool system_folder_is(const wchar_t* folder);
