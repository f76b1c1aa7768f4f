// Resizing a bitmap with a Catmull-Rom cubic filter, widened when the
// picture shrinks so that every source pixel still counts. The filter runs
// down the columns into one row of sums, then along that row, one output
// row at a time: besides the new bitmap it needs one row of sums and the
// weight tables, never a second full-size copy.
#include <math.h>
#include <string.h>
#include "images/images.h"
#include "runtime/runtime.h"

constexpr int32_t WEIGHT_BITS = 14;            // the weights of one pixel add up to 1 << 14
constexpr int32_t COLUMN_SHIFT = 6;            // column sums keep 8 bits of fraction
constexpr int32_t ROW_BITS = WEIGHT_BITS + WEIGHT_BITS - COLUMN_SHIFT;
constexpr int32_t MAX_TAPS = 16;               // enough down to a quarter of the size

// The source pixels one output pixel reads, and their weights.
struct Taps {
    int32_t first;            // first source index (clamped per tap)
    int32_t count;
    int16_t weight[MAX_TAPS];
};

static float cubic(float x) {
    x = fabsf(x);
    if (x < 1.0f) {
        return 1.5f * x * x * x - 2.5f * x * x + 1.0f;
    }
    if (x < 2.0f) {
        return -0.5f * x * x * x + 2.5f * x * x - 4.0f * x + 2.0f;
    }
    return 0.0f;
}

static void taps_make(Taps* taps, int32_t source, int32_t target) {
    float ratio = static_cast<float>(source) / static_cast<float>(target);
    float widen = ratio > 1.0f ? ratio : 1.0f;
    int32_t count = static_cast<int32_t>(ceilf(2.0f * widen)) * 2;
    count = count > MAX_TAPS ? MAX_TAPS : count;
    for (int32_t i = 0; i < target; i++) {
        float centre = (static_cast<float>(i) + 0.5f) * ratio - 0.5f;
        taps[i].first = static_cast<int32_t>(floorf(centre)) - count / 2 + 1;
        taps[i].count = count;
        float weights[MAX_TAPS];
        float total = 0.0f;
        for (int32_t k = 0; k < count; k++) {
            weights[k] = cubic((static_cast<float>(taps[i].first + k) - centre) / widen);
            total += weights[k];
        }
        int32_t sum = 0;
        for (int32_t k = 0; k < count; k++) {
            taps[i].weight[k] = static_cast<int16_t>(lrintf(weights[k] / total * (1 << WEIGHT_BITS)));
            sum += taps[i].weight[k];
        }
        // Rounding left over goes to the middle tap: flat colour stays flat.
        taps[i].weight[count / 2 - 1] += static_cast<int16_t>((1 << WEIGHT_BITS) - sum);
    }
}

static int32_t clamp_index(int32_t i, int32_t size) {
    return i < 0 ? 0 : (i >= size ? size - 1 : i);
}

static uint8_t clamp_byte(int32_t value) {
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

struct Plane {
    uint8_t* bits;
    int32_t width;
    int32_t height;
    int32_t pitch;
    int32_t channels;
};

static void column_sums(const Plane& source, const Taps& down, int32_t* sums) {
    int32_t row_bytes = source.width * source.channels;
    memset(sums, 0, static_cast<size_t>(row_bytes) * sizeof(int32_t));
    for (int32_t k = 0; k < down.count; k++) {
        int32_t row = clamp_index(down.first + k, source.height);
        const uint8_t* line = source.bits + static_cast<int64_t>(row) * source.pitch;
        int32_t weight = down.weight[k];
        for (int32_t b = 0; b < row_bytes; b++) {
            sums[b] += line[b] * weight;
        }
    }
    for (int32_t b = 0; b < row_bytes; b++) {
        sums[b] >>= COLUMN_SHIFT;
    }
}

static void row_filter(const int32_t* sums, int32_t source_width, const Taps* across,
                       uint8_t* line, int32_t width, int32_t channels) {
    for (int32_t x = 0; x < width; x++) {
        const Taps& taps = across[x];
        for (int32_t c = 0; c < channels; c++) {
            int32_t total = 0;
            for (int32_t k = 0; k < taps.count; k++) {
                total += sums[clamp_index(taps.first + k, source_width) * channels + c] *
                         taps.weight[k];
            }
            line[x * channels + c] = clamp_byte((total + (1 << (ROW_BITS - 1))) >> ROW_BITS);
        }
    }
}

static bool plane_of(HBITMAP bitmap, Plane* plane) {
    DIBSECTION section = {};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) ||
        !section.dsBm.bmBits || (section.dsBm.bmBitsPixel != 24 && section.dsBm.bmBitsPixel != 32)) {
        return false;
    }
    plane->bits = static_cast<uint8_t*>(section.dsBm.bmBits);
    plane->width = section.dsBm.bmWidth;
    plane->height = section.dsBm.bmHeight < 0 ? -section.dsBm.bmHeight : section.dsBm.bmHeight;
    plane->pitch = section.dsBm.bmWidthBytes;
    plane->channels = section.dsBm.bmBitsPixel / 8;
    return plane->width > 0 && plane->height > 0;
}

static HBITMAP plane_create(const Plane& like, int32_t width, int32_t height, Plane* made) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;      // bottom-up like the source: rows map one to one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(like.channels * 8);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && !plane_of(bitmap, made)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HBITMAP image_resize(HBITMAP source, int32_t width, int32_t height) {
    Plane from = {};
    Plane to = {};
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || !plane_of(source, &from)) {
        return nullptr;
    }
    HBITMAP bitmap = plane_create(from, width, height, &to);
    Taps* across = static_cast<Taps*>(heap_alloc(static_cast<int64_t>(width) * sizeof(Taps)));
    Taps* down = static_cast<Taps*>(heap_alloc(static_cast<int64_t>(height) * sizeof(Taps)));
    int32_t* sums = static_cast<int32_t*>(
        heap_alloc(static_cast<int64_t>(from.width) * from.channels * sizeof(int32_t)));
    if (bitmap && across && down && sums) {
        taps_make(across, from.width, width);
        taps_make(down, from.height, height);
        for (int32_t y = 0; y < height; y++) {
            column_sums(from, down[y], sums);
            row_filter(sums, from.width, across, to.bits + static_cast<int64_t>(y) * to.pitch,
                       width, from.channels);
        }
        GdiFlush();
    } else if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    heap_free(across);
    heap_free(down);
    heap_free(sums);
    return bitmap;
}
