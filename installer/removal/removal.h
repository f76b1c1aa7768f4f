// Removal of the installation found at start: the product file (only when
// it is the product), the settings file, the desktop shortcut, the Apps &
// features entry and the folders of ours that are left empty.
#pragma once
#include <stdint.h>
#include "installer/session.h"

// Removal's deletions and the shell notification, without its questions:
// the exit code. 6: the product is running or held (a sharing or lock
// violation), nothing removed; 4: it could not be deleted for another
// reason, nothing removed; 3: the recorded folder breaks the path rules,
// nothing removed; 9: the settings file cannot be used, nothing of the
// product deleted, only what is safely ours (shortcut, entry, the settings
// file itself).
int32_t remove_run(const RunRequest& request);
// The maintenance page's removal: asks, removes, reports and ends; returns
// only when the user declined.
void remove_product(const RunRequest& request);
