// Writing a zlib stream out as the bytes it holds: the setup stores its
// product compressed and installs it byte for byte.
#include <zlib.h>
#include "files/files.h"
#include "files/file_object.h"

static const uInt PIECE = 65536;

// One pass of inflate into `piece`, written out at once. The count of bytes
// written, or -1 on a damaged stream, more than `room` bytes or a short
// write. A stream that cannot go on (cut short) is Z_BUF_ERROR, so the
// caller's loop always ends.
static int64_t inflate_piece(z_stream* stream, FileObject* file, uint8_t* piece, int64_t room,
                             int* status) {
    stream->next_out = piece;
    stream->avail_out = PIECE;
    *status = inflate(stream, Z_NO_FLUSH);
    if (*status != Z_OK && *status != Z_STREAM_END) {
        return -1;
    }
    int64_t produced = PIECE - stream->avail_out;
    if (produced > room) {
        return -1;
    }
    if (produced > 0 && file_buffered_write(file, piece, produced) != produced) {
        return -1;
    }
    return produced;
}

// The stream must end exactly at the block's end (its Adler-32 checked by
// zlib) and hold at most `limit` bytes; anything else is -1, with whatever
// was written so far left for the caller to delete.
int64_t file_write_inflated(int64_t id, const void* block, int32_t size, int64_t limit) {
    FileObject* file = file_lookup(id);
    if (file == nullptr || block == nullptr || size <= 0) {
        return -1;
    }
    static uint8_t piece[PIECE];
    z_stream stream = {};
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(block));
    stream.avail_in = static_cast<uInt>(size);
    if (inflateInit(&stream) != Z_OK) {
        return -1;
    }
    int64_t total = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        int64_t produced = inflate_piece(&stream, file, piece, limit - total, &status);
        if (produced < 0) {
            total = -1;
            break;
        }
        total += produced;
    }
    bool whole_block = stream.avail_in == 0;
    inflateEnd(&stream);
    return whole_block ? total : -1;
}
