// Placeholder for the installer window until it is built: the installer
// role ends straight away.
#include "installer/state.h"

void run_installer_window() {}
