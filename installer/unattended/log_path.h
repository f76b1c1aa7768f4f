// The /LOG= file: checked, and opened only where it does no harm.
#pragma once

// The log's own first line: an existing file is replaced only when it
// starts with it.
extern const wchar_t LOG_FIRST_LINE[];

// Opens the /LOG= file as the log (LOG_FILE_ID) and writes its first line;
// false when it is refused: not one plain local path ending in .log or
// .txt, an existing file that is not a log of ours or cannot be opened, a
// link anywhere on the way, or a file that cannot be created.
bool log_path_open(const wchar_t* given);
// Creates `path` new as the log, checks it landed at `path` itself and
// writes the first line; false otherwise (nothing stays behind).
bool log_path_create(const wchar_t* path);
