// The decoder table and the process-wide decode context shared by every
// image decoder (BMP, PNG).
#pragma once
#include <windows.h>
#include <stdint.h>

struct ImageDecodeContext;

// Flags of an ImageDecoder's decode: rows bottom-up (the picture's first row
// goes to the last row of the buffer).
constexpr uint32_t DECODE_BOTTOM_UP = 2;
constexpr int32_t DECODER_AREA_SIZE = 64;
constexpr int32_t DECODER_TABLE_SIZE = 30;

typedef int32_t (*ImageCheckFunction)(ImageDecodeContext* context);
typedef int32_t (*ImageDecodeFunction)(ImageDecodeContext* context, uint8_t* pixels,
                                       int32_t pitch, uint32_t flags);
typedef void (*ImageEndFunction)(ImageDecodeContext* context);

struct ImageDecoder {
    ImageCheckFunction check;    // accepts the block and sets size and depths
    ImageDecodeFunction decode;  // writes every row into the bitmap memory
    ImageEndFunction end;        // frees what check made
    uint32_t tag;                // format tag kept in the image record
};

struct ImageDecodeContext {
    const ImageDecoder* decoder;   // the decoder that accepted the block
    HANDLE source_file;            // unused: everything decodes from memory
    const uint8_t* data;           // start of the block
    int32_t size;                  // length of the block in bytes
    int32_t from_memory;           // always 1
    int32_t width;
    int32_t height;
    int32_t output_depth;          // 24 or 32
    alignas(8) uint8_t decoder_area[DECODER_AREA_SIZE];  // private to the decoder being tried
    int32_t source_depth;
    int32_t frame_count;
    int32_t frame_delay;
};

// Appends a decoder to the table; 0 when the table is full.
int32_t decoder_register(const ImageDecoder* decoder);
// Clears the context for a block and finds the first decoder that accepts it.
const ImageDecoder* decoder_choose(const void* data, int32_t size);
ImageDecodeContext* decoder_context();

// Icon data: the icon handle made from the block, or null when the block is
// not icon data Windows accepts.
HICON icon_from_memory(const uint8_t* data, int32_t size);

// Little-endian reads of a block whose bounds the caller has checked.
inline uint16_t read_u16(const uint8_t* at) {
    return (uint16_t)(at[0] | (at[1] << 8));
}
inline uint32_t read_u32(const uint8_t* at) {
    return (uint32_t)at[0] | ((uint32_t)at[1] << 8) | ((uint32_t)at[2] << 16) | ((uint32_t)at[3] << 24);
}
