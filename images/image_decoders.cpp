// The decoder table (tried in registration order) and the one decode
// context that every load reuses.
#include <string.h>
#include "images/image_decoders.h"
#include "runtime/libraries.h"

static const ImageDecoder* g_decoders[DECODER_TABLE_SIZE];
static int32_t g_decoder_count;
static ImageDecodeContext g_context;

void decoder_library_start() {
    g_decoder_count = 0;
    memset(&g_context, 0, sizeof(g_context));
}

int32_t decoder_register(const ImageDecoder* decoder) {
    if (g_decoder_count >= DECODER_TABLE_SIZE) {
        return 0;
    }
    g_decoders[g_decoder_count] = decoder;
    g_decoder_count++;
    return 1;
}

ImageDecodeContext* decoder_context() {
    return &g_context;
}

const ImageDecoder* decoder_choose(const void* data, int32_t size) {
    memset(&g_context, 0, sizeof(g_context));
    g_context.data = (const uint8_t*)data;
    g_context.size = size;
    g_context.from_memory = 1;
    g_context.frame_count = 1;
    g_context.frame_delay = 0;
    for (int32_t i = 0; i < g_decoder_count; i++) {
        memset(g_context.decoder_area, 0, sizeof(g_context.decoder_area));
        if (g_decoders[i]->check(&g_context) != 0) {
            g_context.decoder = g_decoders[i];
            return g_decoders[i];
        }
    }
    return nullptr;
}
