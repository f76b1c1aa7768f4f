// The all-users installation's own steps, called from installation and
// removal when install_scope_all_users() holds.
#pragma once
#include <stdint.h>
#include "installer/installation.h"

// The record's folder, with its backslash; empty without a record.
void all_users_product_folder(wchar_t** folder);
// Installed state and language from the record; the settings folder only
// when this account's settings file names the recorded folder.
void all_users_locate(Installation* found);
// Makes (or checks) the protected folder for the setup copy and sets
// `folder` to it; false, after telling the user, when it is refused.
bool all_users_copy_folder(wchar_t** folder);
// The install folder and the `created` folders above it that this run made
// get the protected access list, unless they lie in Program Files.
bool all_users_protect_created(const wchar_t* folder, int64_t created);
// The record and the Active Setup component; false when either failed.
bool all_users_record_installation(const wchar_t* folder);
// After the product is gone: the record, the Active Setup component, the
// setup copy and its folders. Other users' settings files stay.
void all_users_remove(const wchar_t* folder);
