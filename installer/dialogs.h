// Questions and reports to the user. In unattended mode no box is shown:
// questions get their default answer and reports go to the log.
#pragma once
#include <stdint.h>

int64_t installer_ask(const wchar_t* title, const wchar_t* text, int64_t unattended_answer);
void installer_tell(const wchar_t* title, const wchar_t* text);
// One line of the unattended log; nothing in interactive mode.
void installer_log(const wchar_t* step, const wchar_t* result);
