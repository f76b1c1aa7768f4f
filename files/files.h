// File objects: numbered files with a shared 4096-byte read/write buffer.
#pragma once
#include <stdint.h>

enum : int32_t { ENCODING_ANSI = 0, ENCODING_UTF8 = 2, ENCODING_UTF16 = 25 };

int64_t file_create(int64_t id, const wchar_t* name);
int64_t file_open(int64_t id, const wchar_t* name);
int64_t file_open_read(int64_t id, const wchar_t* name);
void file_close(int64_t id);
int64_t file_write_line(int64_t id, const wchar_t* text);
int64_t file_write_data(int64_t id, const void* address, int32_t length);
void file_read_line(int64_t id, int64_t out);
int64_t file_eof(int64_t id);
