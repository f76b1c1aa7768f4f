// The icon test: icon-file data in a block becomes an icon that Windows
// makes from the chosen image. The directory and the chosen image are
// checked against the block's length; a block too short for them is not
// icon data.
#include "images/image_decoders.h"

constexpr int64_t ICON_DIRECTORY_SIZE = 6;
constexpr int64_t ICON_ENTRY_SIZE = 16;
constexpr int64_t BITMAP_HEADER_SIZE = 40;

// The entry to use: the deepest image of entry 0's size, earliest on ties.
static const uint8_t* icon_choose_entry(const uint8_t* data, int64_t count) {
    const uint8_t* first = data + ICON_DIRECTORY_SIZE;
    const uint8_t* choice = first;
    for (int64_t i = 1; i < count; i++) {
        const uint8_t* entry = first + i * ICON_ENTRY_SIZE;
        int32_t same_size = entry[0] == first[0] && entry[1] == first[1];
        if (same_size && read_u16(entry + 6) > read_u16(choice + 6)) {
            choice = entry;
        }
    }
    return choice;
}

// The chosen image's bytes, or null when the directory or the image does not
// lie inside the block.
static const uint8_t* icon_image(const uint8_t* data, int32_t size, uint32_t* image_size) {
    if (size < ICON_DIRECTORY_SIZE || read_u16(data) != 0 || read_u16(data + 2) != 1) {
        return nullptr;
    }
    int64_t count = read_u16(data + 4);
    if (count == 0 || ICON_DIRECTORY_SIZE + count * ICON_ENTRY_SIZE > size) {
        return nullptr;
    }
    const uint8_t* entry = icon_choose_entry(data, count);
    uint32_t bytes = read_u32(entry + 8);
    uint32_t offset = read_u32(entry + 12);
    if (bytes < BITMAP_HEADER_SIZE || (int64_t)offset + bytes > size) {
        return nullptr;
    }
    *image_size = bytes;
    return data + offset;
}

HICON icon_from_memory(const uint8_t* data, int32_t size) {
    uint32_t bytes = 0;
    const uint8_t* image = icon_image(data, size, &bytes);
    if (image == nullptr) {
        return nullptr;
    }
    HGLOBAL copy = GlobalAlloc(GMEM_FIXED, bytes);
    if (copy == nullptr) {
        return nullptr;
    }
    CopyMemory(copy, image, bytes);
    int32_t width = (int32_t)read_u32(image + 4);
    int32_t height = (int32_t)read_u32(image + 8) / 2;
    PBYTE bits = (PBYTE)copy;
    HICON icon = CreateIconFromResourceEx(bits, bytes, TRUE, 0x30000, width, height, 0);
    if (icon == nullptr && read_u16(image + 14) != 16) {
        icon = CreateIconFromResource(bits, bytes, TRUE, 0x30000);
    }
    GlobalFree(copy);
    return icon;
}
