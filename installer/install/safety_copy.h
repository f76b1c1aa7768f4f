// The safety copy of the setup program that the Apps & features entry
// starts.
#pragma once

// Makes the copy's folder and the copy (unless this setup runs from there).
// A copy that could not be made is told, and the installation goes on
// without an Apps & features entry; false only when the all-users copy's
// folder is refused: the installation does not go on without a copy that
// users cannot replace.
bool safety_copy_make();
// This run wrote the copy, or runs from it: the entry may name it.
bool safety_copy_ready();
// Tells the user where the copy is, when there is one.
void safety_copy_show_notice();
