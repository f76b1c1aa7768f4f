// Folders that only administrators and the system may change: owner
// Administrators, a protected access list (nothing inherited) with
// Administrators and SYSTEM in full control and Users read and execute.
#pragma once

// The descriptor in the security descriptor language; containers and
// files made inside inherit the three entries.
extern const wchar_t PROTECTED_FOLDER_SDDL[];

enum ProtectedFolderResult {
    PROTECTED_FOLDER_READY,
    PROTECTED_FOLDER_FOREIGN,       // exists: a link, not owned by Administrators or SYSTEM, or not empty
    PROTECTED_FOLDER_FAILED,        // could not be created or its access list not set
};

// Gives an existing folder the owner and the access list; false on failure.
bool protected_folder_apply(const wchar_t* folder);
// Creates `folder` (its parent must exist) with the owner and the access
// list. An existing one is taken only when `ours` (our own installation's
// record names it) or when it is no link, is owned by Administrators or
// SYSTEM and is empty: someone who made it first keeps rights over it and
// over whatever is inside.
ProtectedFolderResult protected_folder_make(const wchar_t* folder, bool ours);
