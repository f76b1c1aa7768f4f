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
// Inflates the zlib stream `block` into the file; the count of bytes
// written, or -1 when the stream is damaged, does not end exactly at the
// block's end, or would hold more than `limit` bytes.
int64_t file_write_inflated(int64_t id, const void* block, int32_t size, int64_t limit);
void file_read_line(int64_t id, int64_t out);
// One line of fewer than `limit` units; false and an empty text for a
// longer one, whose rest is passed over without being kept (a 64 MiB line
// costs one scan, not its copies).
bool file_read_line_limited(int64_t id, int64_t limit, int64_t out);
int64_t file_eof(int64_t id);

// The general open behind file_create, file_open and file_open_read.
// mode: 1 read (existing file), 2 read-write creating when missing, 3 create,
// 4 create new (the name cleared first, never an existing file opened;
// handle_create_new in files/link_safe.h).
enum : int32_t {
    FILE_MODE_READ = 1, FILE_MODE_READ_WRITE = 2, FILE_MODE_CREATE = 3,
    FILE_MODE_CREATE_NEW = 4,
};
// flags: the encoding in bits 0-4, and:
enum : int32_t {
    FILE_FLAG_SHARE_READ = 1 << 17,   // others may open the file for reading
    FILE_FLAG_SHARE_ALL = 1 << 18,    // others may read, write and delete
    FILE_FLAG_NO_BUFFER = 1 << 19,
    FILE_FLAG_AT_END = 1 << 20,       // mode 2: start at the end of the file
    FILE_FLAG_NO_LINK = 1 << 21,      // mode 1: refuse a link (handle_open_no_link)
};
// 0 on failure, with the system's last error kept for the caller.
int64_t file_open_general(int64_t id, const wchar_t* name, int32_t mode, int32_t flags);
// Writes out the buffer; 1 when every buffered byte reached the file.
int64_t file_flush(int64_t id);

enum : int32_t { FILE_FLAG_ENCODING_MASK = 0x1F };

// Writes without a line end, or with an explicit encoding.
int64_t file_write_string(int64_t id, const wchar_t* text);
int64_t file_write_string_encoded(int64_t id, const wchar_t* text, int32_t encoding);
int64_t file_write_line_encoded(int64_t id, const wchar_t* text, int32_t encoding);

// Reads text in `encoding`. READ_NO_LINES: only a NUL, the end of the file
// or the limit stops the read. limit: most units to read, -1 for none.
enum : int32_t { READ_NO_LINES = 1 << 16 };
void file_read_string(int64_t id, int32_t encoding, int32_t flags, int64_t limit, int64_t out);
