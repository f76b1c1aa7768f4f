// The per-user step: each user's settings file for an all-users
// installation, written from its record in HKLM.
#pragma once
#include <stdint.h>

// First parameter of the per-user step's role (Active Setup's StubPath).
extern const wchar_t USER_STEP_PARAMETER[];

// Writes %APPDATA%\PikeHarbour\PikeHarbour.ini from the record when there
// is a record and no such file. 0 when written or when there is nothing to
// do; 1 only when the profile is broken (no APPDATA, the folder or the
// file cannot be made): Windows runs the step once per user and does not
// retry it.
int32_t user_settings_step_run();
// There is a record and this user has no settings file.
bool user_settings_step_needed();
