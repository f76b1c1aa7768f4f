// The unattended log's file.
#pragma once

// Replaces the log: the /LOG= file, else %TEMP%\PikeHarbour_Setup.log.
// False only when a /LOG= file was given and refused (exit 1622); a
// default log that cannot be made leaves the run without one.
bool unattended_log_open();
