// Whether the version-6 common controls are in use, decided by what the
// process's activation context loads rather than by COMCTL32's
// DllGetVersion: Wine answers 5.81 there even when the manifest gives it the
// version-6 controls (its buttons then answer BCM_GETIDEALSIZE, a version-6
// message), while Windows answers 6.x. Asking the activation context makes
// Windows and Wine take the same branch.
#include <windows.h>
#include "toolkit/common_controls_6.h"

int32_t common_controls_6_active() {
    // Only the version-6 assembly redirects comctl32.dll; the version-5
    // controls come from the system directory without an entry here.
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof(data);
    BOOL found = FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                          L"comctl32.dll", &data);
    return found ? 1 : 0;
}
