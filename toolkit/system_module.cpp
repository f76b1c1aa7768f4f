// Loading system modules at run time from the system directory only.
#include "toolkit/system_module.h"

HMODULE system_module_load(const wchar_t* name) {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}
