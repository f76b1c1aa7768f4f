// No silent downgrade: a setup older than the installation it would
// replace asks first (its default answer No), and unattended it ends with
// EXIT_NEWER_INSTALLED and changes nothing, unless /ALLOWDOWNGRADE is given.
#pragma once

// The version the installation this run would replace recorded in its
// Uninstall entry; false when there is none to compare with. An all-users
// installation's entry is in HKLM; the current user's own installation (a
// settings file of theirs) has its entry in HKCU, which that user can
// write, so it decides for nothing but that user's own installation.
bool version_check_installed(wchar_t** version);
// True when installing may go on: the same or an older version is
// installed, none can be told, /ALLOWDOWNGRADE was given, or the user
// answered Yes to the warning. Logs its finding when unattended.
bool version_check_allows_install();
