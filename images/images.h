// Image objects, decoding from memory and the PNG decoder.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/registry.h"   // ANY_ID

struct ImageObject {
    HANDLE native;          // HBITMAP or HICON
    uint16_t width;
    uint16_t height;
    uint8_t depth;
    uint8_t source_depth;
    uint32_t format_tag;
    int32_t frame_count;
    uint32_t first_frame_delay;
    void* frame_list;
};

int64_t image_from_memory(int64_t id, const void* data, int32_t size);
ImageObject* image_lookup(int64_t id);
void image_release(int64_t id);
void png_decoder_register();
// A new bitmap of `width` x `height` made from a 24- or 32-bit DIB section
// with a cubic filter (image_resize.cpp); null when it cannot be made.
HBITMAP image_resize(HBITMAP source, int32_t width, int32_t height);

// Answers of the drawing-support step: 1 when visual styles are active
// (uxtheme themed and the version-6 common controls in use), 1 when
// AlphaBlend was found.
int32_t drawing_support_visual_styles();
int32_t drawing_support_has_alpha_blend();
