// Loading system modules at run time.
#pragma once
#include <windows.h>

// Loads a module from the system directory only, never from the program's
// folder or the current directory. Null when it is not there.
HMODULE system_module_load(const wchar_t* name);
