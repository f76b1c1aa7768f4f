// The Active Setup component that runs the per-user step once for every
// user at their next logon.
#pragma once
#include <windows.h>

// Registers `command` (the setup copy with the per-user step's parameter)
// as the component's StubPath, with this build's version; false when a
// value could not be written.
bool active_setup_register(const wchar_t* command);
// ERROR_SUCCESS when the component is gone or was never there.
LSTATUS active_setup_unregister();
// The component version Windows compares with each user's stamp: the
// display version's numbers, comma-separated and padded to four ("3.00"
// gives "3,0,0,0"). `out` holds at least 48 characters.
void active_setup_version(const wchar_t* display_version, wchar_t* out);
