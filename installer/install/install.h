// Installation: confirmation, safety copy, folder chain, product file,
// settings file, Apps & features entry, desktop shortcut.
#pragma once
#include "installer/session.h"

enum InstallOutcome {
    INSTALL_DONE, INSTALL_REFUSED, INSTALL_NO_FOLDER, INSTALL_WRITE_FAILED, INSTALL_IN_USE,
    INSTALL_NOT_RECORDED, INSTALL_SETTINGS_UNUSABLE,
    INSTALL_NEWER_INSTALLED     // unattended, without /ALLOWDOWNGRADE: nothing changed
};

// The installation from its confirmation to the shortcut, without the
// success report and the end. g_session.found must hold what
// locate_installation found.
InstallOutcome install_run(const RunRequest& request);
void install_report_success();
// The install button: waits for the payload check, then installs,
// reports and ends; returns only when the user declined a question or
// the installation failed in a way the user can correct.
void install_product(const RunRequest& request);
