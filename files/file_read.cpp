// Reading lines and strings in the file's encoding, and the end-of-file test.
#include <stdint.h>
#include <string.h>
#include "files/files.h"
#include "files/file_object.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

// The line block's first size; it doubles from there.
static const int64_t LINE_BLOCK_FIRST = 4096;
// Room kept free at the end of the line block: one unit of up to 4 bytes and
// a two-byte terminator.
static const int64_t LINE_BLOCK_SLACK = 8;

struct LineBlock {
    uint8_t* bytes;     // zero-filled, so the collected units stay terminated
    int64_t used;
    int64_t capacity;
};

struct Unit {
    uint8_t bytes[4];
    int32_t size;       // 0: the file ended before a whole unit
};

static int unit_size(int32_t encoding) {
    return encoding == ENCODING_UTF16 ? 2 : 1;
}

static int64_t read_bytes(FileObject* file, void* target, int32_t length) {
    return file_buffered_read(file, target, length);
}

static int utf8_tail_length(uint8_t lead) {
    if ((lead & 0xE0) == 0xC0) {
        return 1;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 2;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 3;
    }
    return -1;
}

// A byte that cannot continue the sequence is given back, so a line end or a
// NUL right after a broken lead byte still ends the line; the broken
// sequence reads as "?" like any other invalid lead byte.
static void read_utf8_unit(FileObject* file, Unit* unit) {
    if (read_bytes(file, unit->bytes, 1) != 1) {
        return;
    }
    unit->size = 1;
    int tail = utf8_tail_length(unit->bytes[0]);
    if (unit->bytes[0] < 0x80) {
        return;
    }
    if (tail < 0) {
        unit->bytes[0] = '?';
        return;
    }
    for (int i = 1; i <= tail; i++) {
        if (read_bytes(file, unit->bytes + i, 1) != 1) {
            unit->size = 0;
            return;
        }
        if ((unit->bytes[i] & 0xC0) != 0x80) {
            file_give_back(file, 1);
            unit->bytes[0] = '?';
            unit->size = 1;
            return;
        }
        unit->size = i + 1;
    }
}

static void read_unit(FileObject* file, int32_t encoding, Unit* unit) {
    unit->size = 0;
    if (encoding == ENCODING_UTF8) {
        read_utf8_unit(file, unit);
        return;
    }
    int size = unit_size(encoding);
    if (read_bytes(file, unit->bytes, size) == size) {
        unit->size = size;
    }
}

// The single code of a one-unit character, or -1 for a longer sequence.
static int32_t unit_code(const Unit* unit, int32_t encoding) {
    if (encoding == ENCODING_UTF16) {
        return unit->bytes[0] | (unit->bytes[1] << 8);
    }
    if (unit->size == 1) {
        return unit->bytes[0];
    }
    return -1;
}

// After a CR: an LF belongs to the same line end, anything else is given back.
static void skip_lf_after_cr(FileObject* file, int32_t encoding) {
    int size = unit_size(encoding);
    uint8_t next[2] = {0, 0};
    if (read_bytes(file, next, size) != size) {
        return;
    }
    if (next[0] == '\n' && next[1] == 0) {
        return;
    }
    file_give_back(file, size);
}

// Room for `length` more bytes and the slack. The block doubles when full:
// a fixed step made a 64 MiB line cost thousands of reallocations, each
// copying everything read so far.
static bool block_reserve(LineBlock* block, int64_t length) {
    if (length > INT64_MAX / 4 - LINE_BLOCK_SLACK - block->used) {
        return false;
    }
    int64_t needed = block->used + length + LINE_BLOCK_SLACK;
    int64_t capacity = block->capacity;
    while (capacity < needed) {
        capacity *= 2;
    }
    if (capacity == block->capacity) {
        return true;
    }
    void* grown = heap_realloc(block->bytes, capacity);
    if (grown == nullptr) {
        return false;
    }
    block->bytes = static_cast<uint8_t*>(grown);
    block->capacity = capacity;
    return true;
}

static bool block_append(LineBlock* block, const uint8_t* bytes, int64_t length) {
    if (!block_reserve(block, length)) {
        return false;
    }
    memcpy(block->bytes + block->used, bytes, static_cast<size_t>(length));
    block->used += length;
    return true;
}

// A byte that stands for itself: no NUL, no line end when reading lines,
// and in UTF-8 no part of a longer sequence.
static bool is_plain(uint8_t byte, int32_t encoding, bool lines) {
    if (byte == 0 || (lines && (byte == '\n' || byte == '\r'))) {
        return false;
    }
    return encoding != ENCODING_UTF8 || byte < 0x80;
}

// The run of plain bytes already waiting in the read buffer, taken in one
// copy instead of one call per byte (without a block: passed over); the
// number taken, at most `room`.
static int64_t take_plain_run(FileObject* file, int32_t encoding, bool lines, int64_t room,
                              LineBlock* block) {
    if (encoding == ENCODING_UTF16 || file->buffer == nullptr ||
        file->state != FILE_STATE_READ || file->count <= 0) {
        return 0;
    }
    const uint8_t* start = file->buffer + (file->filled - file->count);
    int64_t run = 0;
    while (run < file->count && run < room && is_plain(start[run], encoding, lines)) {
        run++;
    }
    if (run == 0 || (block != nullptr && !block_append(block, start, run))) {
        return 0;
    }
    file->count -= static_cast<int32_t>(run);
    return run;
}

// Reads units into the block (or past them without one) up to the line end,
// a NUL, the end of the file or `limit` units; false when the limit (or a
// failed allocation) stopped it first.
static bool collect(FileObject* file, int32_t encoding, int32_t flags, int64_t limit,
                    LineBlock* block) {
    bool lines = (flags & READ_NO_LINES) == 0;
    for (int64_t units = 0; limit < 0 || units < limit; units++) {
        units += take_plain_run(file, encoding, lines, limit < 0 ? INT64_MAX : limit - units,
                                block);
        if (limit >= 0 && units >= limit) {
            return false;
        }
        Unit unit;
        read_unit(file, encoding, &unit);
        int32_t code = unit_code(&unit, encoding);
        if (unit.size == 0 || code == 0 || (lines && code == '\n')) {
            return true;
        }
        if (lines && code == '\r') {
            skip_lf_after_cr(file, encoding);
            return true;
        }
        if (block != nullptr && !block_append(block, unit.bytes, unit.size)) {
            return false;
        }
    }
    return false;
}

static void write_empty(int64_t out) {
    wchar_t* target = temp_reserve(0, out);
    target[0] = 0;
}

static void convert_block(const LineBlock* block, int32_t encoding, int64_t out) {
    if (encoding == ENCODING_UTF8) {
        string_from_utf8(reinterpret_cast<const char*>(block->bytes), out);
        return;
    }
    if (encoding != ENCODING_UTF16) {
        string_from_ansi(reinterpret_cast<const char*>(block->bytes), out);
        return;
    }
    int32_t units = static_cast<int32_t>(block->used / 2);
    wchar_t* target = temp_reserve(units, out);
    memcpy(target, block->bytes, static_cast<size_t>(units) * 2);
    target[units] = 0;
}

// `whole`: the text only when nothing stopped it before its end; a cut
// line's rest is then passed over and the text is empty.
static bool read_text(FileObject* file, int32_t encoding, int32_t flags, int64_t limit,
                      bool whole, int64_t out) {
    LineBlock block = {};
    block.bytes = static_cast<uint8_t*>(heap_alloc(LINE_BLOCK_FIRST));
    if (block.bytes == nullptr) {
        write_empty(out);
        return false;
    }
    block.capacity = LINE_BLOCK_FIRST;
    bool ended = collect(file, encoding, flags, limit, &block);
    if (whole && !ended) {
        collect(file, encoding, flags, -1, nullptr);
        write_empty(out);
    } else {
        convert_block(&block, encoding, out);
    }
    heap_free(block.bytes);
    return ended;
}

void file_read_line(int64_t id, int64_t out) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        write_empty(out);
        return;
    }
    read_text(file, file->encoding, 0, -1, false, out);
}

bool file_read_line_limited(int64_t id, int64_t limit, int64_t out) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        write_empty(out);
        return false;
    }
    return read_text(file, file->encoding, 0, limit, true, out);
}

void file_read_string(int64_t id, int32_t encoding, int32_t flags, int64_t limit, int64_t out) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        write_empty(out);
        return;
    }
    read_text(file, encoding, flags, limit, false, out);
}

int64_t file_eof(int64_t id) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        return 0;
    }
    uint8_t byte = 0;
    if (file->buffer == nullptr) {
        if (file_native_read(file, &byte, 1) != 1) {
            return -1;
        }
        file_give_back(file, 1);
        return 0;
    }
    if (file_buffered_read(file, &byte, 1) != 1) {
        return 1;
    }
    file_give_back(file, 1);
    return 0;
}
