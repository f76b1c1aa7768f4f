// The installer role's exit sequence, used by every way out of it.
#include "images/images.h"
#include "installer/state.h"
#include "runtime/runtime.h"

InstallerState g_installer;

void installer_exit() {
    image_release(0);
    runtime_end();
}
