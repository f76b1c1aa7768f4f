// The installer role's exit sequence, used by every way out of it.
#include "installer/state.h"
#include "runtime/runtime.h"

InstallerState g_installer;

void installer_exit() {
    DeleteObject(g_installer.background_brush);
    runtime_end();
}
