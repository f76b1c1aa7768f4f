// What a removal found but could not delete once the product was gone: the
// settings file, the shortcut, the Apps & features entry. Each is logged
// with its error as it happens and told to the user at the end, instead of
// a plain success.
#pragma once
#include <windows.h>

void leftovers_reset();
// `what` (a path or a name) is there and could not be deleted.
void leftovers_note(const wchar_t* what, DWORD error);
// Tells the user the removal's outcome when anything was left; false when
// nothing was.
bool leftovers_report();
