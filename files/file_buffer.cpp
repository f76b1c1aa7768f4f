// The 4096-byte buffer that reading and writing share. In write state it
// holds bytes not yet written; in read state bytes read ahead, of which the
// last `count` are not yet consumed (the handle's position is behind them).
#include <string.h>
#include "files/file_faults.h"
#include "files/file_object.h"

// One WriteFile/ReadFile moves at most this much, so a DWORD always holds it.
static const int64_t NATIVE_CHUNK = 0x40000000;

static int64_t s_native_write_calls;

int64_t file_native_write_calls() {
    return s_native_write_calls;
}

int64_t file_native_write(FileObject* file, const void* data, int64_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    int64_t done = 0;
    while (done < length) {
        int64_t part = length - done;
        if (part > NATIVE_CHUNK) {
            part = NATIVE_CHUNK;
        }
        DWORD written = 0;
        s_native_write_calls++;
        if (!file_fault_take()) {
            WriteFile(file->handle, bytes + done, static_cast<DWORD>(part), &written, nullptr);
        }
        done += written;
        if (written != part) {
            break;
        }
    }
    return done;
}

int64_t file_native_read(FileObject* file, void* data, int64_t length) {
    uint8_t* bytes = static_cast<uint8_t*>(data);
    int64_t done = 0;
    while (done < length) {
        int64_t part = length - done;
        if (part > NATIVE_CHUNK) {
            part = NATIVE_CHUNK;
        }
        DWORD got = 0;
        ReadFile(file->handle, bytes + done, static_cast<DWORD>(part), &got, nullptr);
        done += got;
        if (got != part) {
            break;
        }
    }
    return done;
}

static void move_position(FileObject* file, int64_t delta) {
    LARGE_INTEGER distance;
    distance.QuadPart = delta;
    SetFilePointerEx(file->handle, distance, nullptr, FILE_CURRENT);
}

bool file_flush_buffer(FileObject* file) {
    if (file->buffer == nullptr || file->state != FILE_STATE_WRITE) {
        return true;
    }
    int32_t pending = file->buffer_size - file->count;
    int64_t written = file_native_write(file, file->buffer, pending);
    file->count = file->buffer_size;
    return written == pending;
}

// Leaving read state: the bytes read ahead but not consumed are given back
// to the file so the write lands where the reader stopped.
static void enter_write_state(FileObject* file) {
    if (file->count > 0) {
        move_position(file, -static_cast<int64_t>(file->count));
    }
    file->state = FILE_STATE_WRITE;
    file->count = file->buffer_size;
    file->filled = 0;
}

int64_t file_buffered_write(FileObject* file, const void* data, int64_t length) {
    if (file->read_only) {
        return 0;
    }
    if (file->buffer == nullptr) {
        return file_native_write(file, data, length);
    }
    if (file->state == FILE_STATE_READ) {
        enter_write_state(file);
    }
    if (length < file->count) {
        memcpy(file->buffer + (file->buffer_size - file->count), data, length);
        file->count -= static_cast<int32_t>(length);
        return length;
    }
    file_flush_buffer(file);
    if (length >= file->buffer_size) {
        return file_native_write(file, data, length);
    }
    memcpy(file->buffer, data, length);
    file->count -= static_cast<int32_t>(length);
    return length;
}

static void enter_read_state(FileObject* file) {
    file_flush_buffer(file);
    file->state = FILE_STATE_READ;
    file->count = 0;
    file->filled = 0;
}

static int64_t take_unconsumed(FileObject* file, uint8_t* target, int64_t length) {
    memcpy(target, file->buffer + (file->filled - file->count), length);
    file->count -= static_cast<int32_t>(length);
    return length;
}

int64_t file_buffered_read(FileObject* file, void* data, int64_t length) {
    if (file->buffer == nullptr) {
        return file_native_read(file, data, length);
    }
    if (file->state == FILE_STATE_WRITE) {
        enter_read_state(file);
    }
    uint8_t* target = static_cast<uint8_t*>(data);
    if (file->count >= length) {
        return take_unconsumed(file, target, length);
    }
    int64_t copied = take_unconsumed(file, target, file->count);
    int64_t rest = length - copied;
    if (rest >= file->buffer_size) {
        file->filled = 0;
        return copied + file_native_read(file, target + copied, rest);
    }
    int64_t got = file_native_read(file, file->buffer, file->buffer_size);
    file->filled = static_cast<int32_t>(got);
    file->count = static_cast<int32_t>(got);
    int64_t part = rest < got ? rest : got;
    return copied + take_unconsumed(file, target + copied, part);
}

// A unit can straddle a refill (a UTF-16 unit at an odd offset after mixed
// writes): then part of it is no longer in the buffer, and the handle's
// position is moved back instead of reading in front of the buffer.
void file_give_back(FileObject* file, int32_t length) {
    if (file->buffer == nullptr) {
        move_position(file, -static_cast<int64_t>(length));
        return;
    }
    if (file->count + length <= file->filled) {
        file->count += length;
        return;
    }
    move_position(file, -static_cast<int64_t>(file->count) - length);
    file->count = 0;
    file->filled = 0;
}
