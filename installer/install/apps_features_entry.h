// The product's entry in the user's list of installed programs (the
// Uninstall key of the current user's hive), which deployment tools read
// as well.
#pragma once

// Writes or refreshes every value of the entry for the installation in
// `folder` (with its trailing backslash). Written only while the safety
// copy exists: the entry's removal commands start that copy.
void apps_features_entry_write(const wchar_t* folder);
// Deletes the entry; true when it is gone or was never there, else false
// with the error as the last error.
bool apps_features_entry_delete();
