// image_from_memory: icon data becomes an icon; anything else goes to the
// first registered decoder that accepts it and is decoded straight into a
// bottom-up DIB section.
#include <string.h>
#include "images/images.h"
#include "images/image_decoders.h"
#include "images/image_objects.h"
#include "runtime/registry.h"

constexpr uint32_t ICON_TAG = 0x4E4F4349;  // bytes I, C, O, N

static void image_record_icon(ImageObject* image, HICON icon, const BITMAP* colour) {
    image->width = (uint16_t)colour->bmWidth;
    image->height = (uint16_t)colour->bmHeight;
    image->depth = (uint8_t)colour->bmBitsPixel;
    image->source_depth = (uint8_t)colour->bmBitsPixel;
    image->format_tag = ICON_TAG;
    image->frame_count = 1;
    image->native = icon;
}

// Fills the record from an icon; 0 (icon destroyed) when Windows cannot
// describe its bitmaps.
static int32_t image_take_icon(ImageObject* image, HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        DestroyIcon(icon);
        return 0;
    }
    BITMAP colour = {};
    HBITMAP described = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
    int32_t got = GetObjectW(described, sizeof(colour), &colour);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask != nullptr) {
        DeleteObject(info.hbmMask);
    }
    if (got != sizeof(colour)) {
        DestroyIcon(icon);
        return 0;
    }
    image_record_icon(image, icon, &colour);
    return 1;
}

static int64_t dib_pitch(const BITMAP* bitmap) {
    if (bitmap->bmBitsPixel == 32) {
        return (int64_t)bitmap->bmWidth * 4;
    }
    return ((int64_t)bitmap->bmWidth * 3 + 3) / 4 * 4;
}

static HBITMAP dib_create(HDC dc, const ImageDecodeContext* context, void** pixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = context->width;
    info.bmiHeader.biHeight = context->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = (WORD)context->output_depth;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

// The decoded bitmap, or null. Only positive sizes and the two output depths
// are made, so every bitmap is bottom-up with the pitch the decoders expect.
static HBITMAP image_make_bitmap(ImageDecodeContext* context) {
    int32_t depth = context->output_depth;
    if (context->width <= 0 || context->height <= 0 || (depth != 24 && depth != 32)) {
        return nullptr;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return nullptr;
    }
    void* pixels = nullptr;
    HBITMAP bitmap = dib_create(dc, context, &pixels);
    DIBSECTION section = {};
    if (bitmap != nullptr && GetObjectW(bitmap, sizeof(section), &section) < (int)sizeof(section)) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (bitmap != nullptr) {
        int64_t pitch = dib_pitch(&section.dsBm);
        int32_t decoded = pitch <= INT32_MAX && pixels != nullptr &&
                          context->decoder->decode(context, (uint8_t*)pixels, (int32_t)pitch, DECODE_BOTTOM_UP) != 0;
        if (!decoded) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
    }
    DeleteDC(dc);
    return bitmap;
}

static int32_t image_decode(ImageObject* image, const void* data, int32_t size) {
    const ImageDecoder* decoder = decoder_choose(data, size);
    if (decoder == nullptr) {
        return 0;
    }
    ImageDecodeContext* context = decoder_context();
    image->format_tag = decoder->tag;
    image->width = (uint16_t)context->width;
    image->height = (uint16_t)context->height;
    image->depth = (uint8_t)context->output_depth;
    image->source_depth = (uint8_t)context->source_depth;
    image->frame_count = context->frame_count;
    HBITMAP bitmap = image_make_bitmap(context);
    decoder->end(context);
    image->native = bitmap;
    return bitmap != nullptr;
}

int64_t image_from_memory(int64_t id, const void* data, int32_t size) {
    if (data == nullptr || size < 0) {
        return 0;
    }
    ImageObject* image = (ImageObject*)registry_allocate(image_table(), id);
    if (image == nullptr) {
        return 0;
    }
    int64_t key = id == ANY_ID ? (int64_t)image : id;
    HICON icon = icon_from_memory((const uint8_t*)data, size);
    int32_t made = icon != nullptr ? image_take_icon(image, icon) : image_decode(image, data, size);
    if (!made) {
        memset(image, 0, sizeof(*image));
        registry_release(image_table(), key);
        return 0;
    }
    return id == ANY_ID ? key : (int64_t)image->native;
}
