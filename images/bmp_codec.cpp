// Stays though the setup embeds only a PNG: the decoder table starts with this BMP decoder.
// The BMP decoder, registered first at runtime start. Its check accepts any
// block that starts with B M and has zero reserved words, like the original
// reader; its decode converts uncompressed (BI_RGB) 24- and 32-bit pictures,
// bottom-up or top-down, into 24-bit rows and refuses everything else.
#include <string.h>
#include "images/image_decoders.h"
#include "runtime/libraries.h"

constexpr int32_t BMP_HEADER_END = 30;       // the check reads up to offset 30
constexpr int32_t BMP_INFO_OFFSET = 14;
constexpr int32_t BMP_INFO_MIN_SIZE = 40;    // BITMAPINFOHEADER and its successors

// The BMP decoder's part of the decoder area.
struct BmpDecoderArea {
    int32_t top_down;   // the file stores its first row first (negative height)
};
static_assert(sizeof(BmpDecoderArea) <= DECODER_AREA_SIZE);

static int32_t bmp_check(ImageDecodeContext* context) {
    const uint8_t* data = context->data;
    if (context->size < BMP_HEADER_END || read_u16(data) != 0x4D42) {
        return 0;
    }
    if (read_u16(data + 6) != 0 || read_u16(data + 8) != 0) {
        return 0;
    }
    BmpDecoderArea* area = (BmpDecoderArea*)context->decoder_area;
    int32_t height = (int32_t)read_u32(data + 22);
    if (height < 0 && height != INT32_MIN) {
        height = -height;
        area->top_down = 1;
    }
    context->width = (int32_t)read_u32(data + 18);
    context->height = height;
    context->output_depth = 24;
    context->source_depth = read_u16(data + 28);
    return 1;
}

// Start of the pixel rows and the file's row length, or null when the block
// is not an uncompressed 24/32-bit BMP whose rows all lie inside it.
static const uint8_t* bmp_rows(const ImageDecodeContext* context, int64_t* stride) {
    const uint8_t* data = context->data;
    int64_t size = context->size;
    int32_t bits = context->source_depth;
    if (size < BMP_INFO_OFFSET + BMP_INFO_MIN_SIZE || read_u32(data + BMP_INFO_OFFSET) < BMP_INFO_MIN_SIZE) {
        return nullptr;
    }
    if (read_u32(data + 30) != BI_RGB || (bits != 24 && bits != 32) || context->width <= 0) {
        return nullptr;
    }
    int64_t offset = read_u32(data + 10);
    *stride = ((int64_t)context->width * bits + 31) / 32 * 4;
    if (offset > size || (size - offset) / *stride < context->height) {
        return nullptr;
    }
    return data + offset;
}

static void bmp_convert_row(uint8_t* target, const uint8_t* source, int32_t width, int32_t bytes) {
    for (int32_t x = 0; x < width; x++) {
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
        target += 3;
        source += bytes;
    }
}

static int32_t bmp_decode(ImageDecodeContext* context, uint8_t* pixels, int32_t pitch, uint32_t flags) {
    int64_t stride = 0;
    const uint8_t* rows = bmp_rows(context, &stride);
    if (rows == nullptr) {
        return 0;
    }
    const BmpDecoderArea* area = (const BmpDecoderArea*)context->decoder_area;
    int32_t bottom_up_target = (flags & DECODE_BOTTOM_UP) != 0;
    int32_t height = context->height;
    for (int32_t y = 0; y < height; y++) {
        // y counts the picture's rows from the top.
        int64_t source_row = area->top_down ? y : height - 1 - y;
        int64_t target_row = bottom_up_target ? height - 1 - y : y;
        bmp_convert_row(pixels + target_row * pitch, rows + source_row * stride, context->width,
                        context->source_depth / 8);
    }
    return 1;
}

static void bmp_end(ImageDecodeContext* context) {}

static const ImageDecoder g_bmp_decoder = {
    bmp_check,   // B M with zero reserved words
    bmp_decode,  // uncompressed 24 and 32 bits
    bmp_end,     // nothing to free for a block in memory
    0x00504D42,  // bytes B, M, P, 0
};

void bmp_codec_start() {
    decoder_register(&g_bmp_decoder);
}
