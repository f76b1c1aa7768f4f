// The unattended log's file.
#pragma once

// Replaces the log: the /LOG= file, else %TEMP%\PikeHarbour_Setup.log.
// A log that cannot be made leaves the run without one.
void unattended_log_open();
