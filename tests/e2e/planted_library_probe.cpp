// Loads "dwmapi.dll" by name with the default search order, as an
// unprotected program would: shows that a planted library beside a program
// is picked up under this Wine, so its absence from the setup means something.
#include <windows.h>

int wmain() {
    HMODULE module = LoadLibraryW(L"dwmapi.dll");
    return module != nullptr ? 0 : 1;
}
