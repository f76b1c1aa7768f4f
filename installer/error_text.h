// Failed steps: one log line with the Windows error code and its system
// text, and the message that fits the error.
#pragma once
#include <windows.h>
#include <stdint.h>

// Logs "step: subject: error N (system text)"; nothing in interactive mode.
void error_log(const wchar_t* step, const wchar_t* subject, DWORD error);
// The message for `error` while writing into `folder`, in the chosen
// language: access denied gets the rights advice, a full disk its own
// message, anything else the code and the system's text.
void error_message(DWORD error, const wchar_t* folder, int64_t out);
// error_log, then error_message told to the user (or logged).
void error_report(const wchar_t* step, const wchar_t* subject, const wchar_t* folder,
                  DWORD error);
