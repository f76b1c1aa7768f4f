// The file record and the buffered I/O that the file operations share.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/registry.h"

constexpr int32_t FILE_BUFFER_SIZE = 4096;

enum : int32_t { FILE_STATE_WRITE = 0, FILE_STATE_READ = 1 };

struct FileObject {
    HANDLE handle;          // live while non-null
    uint8_t* buffer;        // FILE_BUFFER_SIZE bytes, or null: unbuffered
    int32_t buffer_size;
    int32_t count;          // write state: free bytes; read state: unconsumed bytes
    int32_t filled;         // bytes delivered by the last refill
    int32_t state;          // FILE_STATE_READ or FILE_STATE_WRITE
    int32_t encoding;       // ENCODING_UTF8, ENCODING_UTF16, anything else ANSI
    int32_t read_only;      // 1: every write is refused
};

extern ObjectTable* g_file_table;

FileObject* file_lookup(int64_t id);

// Native calls; each reports only the byte count the system gave back.
int64_t file_native_write(FileObject* file, const void* data, int64_t length);
int64_t file_native_read(FileObject* file, void* data, int64_t length);
// Number of WriteFile calls made so far (tests check buffering with it).
int64_t file_native_write_calls();

// Buffered transfer: a file without a buffer goes straight to the system.
int64_t file_buffered_write(FileObject* file, const void* data, int64_t length);
int64_t file_buffered_read(FileObject* file, void* data, int64_t length);
// Writes out a write-state buffer; false when the file took fewer bytes.
bool file_flush_buffer(FileObject* file);
// Puts the last `length` bytes that a read delivered back in front of the
// read position.
void file_give_back(FileObject* file, int32_t length);
