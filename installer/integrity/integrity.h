// The setup's check of its own payload.
#pragma once

#include <windows.h>
#include <stdint.h>

// The embedded product block (a zlib stream) has the length and CRC-32
// recorded at build time.
bool product_block_intact();
// The length of the product as installed (the block inflated).
int64_t product_length();
// The file at `path` holds exactly the product block (read back from disk).
bool product_file_verified(const wchar_t* path);
// The same for a file already open for reading (from its start).
bool product_handle_verified(HANDLE file);
// Tells the user the setup program is damaged (both languages, one box).
void report_damaged_setup();
// The interactive install step waits for the check that the window started
// (integrity_check_thread.h), showing how far it got; false when the
// product block is damaged.
bool integrity_wait_for_install();
