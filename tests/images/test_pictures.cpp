#include "test_pictures.h"
#include <string.h>
#include <stdexcept>

#define EMBED(name, path)                                   \
    __asm__(".section .rdata,\"dr\"\n.balign 16\n"          \
            ".globl " #name "_start\n" #name "_start:\n"    \
            ".incbin \"" path "\"\n"                        \
            ".globl " #name "_end\n" #name "_end:\n.byte 0\n.text\n")

EMBED(pictures_pack, PICTURES_PACK);
EMBED(background_png, BACKGROUND_PNG);
EMBED(background_dib, BACKGROUND_DIB);

extern "C" const uint8_t pictures_pack_start[], pictures_pack_end[];
extern "C" const uint8_t background_png_start[], background_png_end[];
extern "C" const uint8_t background_dib_start[], background_dib_end[];

static uint32_t u32(const uint8_t* at) {
    uint32_t value;
    memcpy(&value, at, 4);
    return value;
}

static std::vector<PictureCase> unpack() {
    std::vector<PictureCase> cases;
    const uint8_t* at = pictures_pack_start;
    while (at + 72 <= pictures_pack_end && at[0] != 0) {
        PictureCase c;
        c.name.assign((const char*)at, strnlen((const char*)at, 48));
        c.width = u32(at + 48);
        c.height = u32(at + 52);
        c.depth = u32(at + 56);
        c.source_depth = u32(at + 60);
        uint32_t png_size = u32(at + 64);
        uint32_t dib_size = u32(at + 68);
        at += 72;
        c.png.assign(at, at + png_size);
        at += png_size;
        c.dib.assign(at, at + dib_size);
        at += dib_size;
        cases.push_back(std::move(c));
    }
    return cases;
}

const std::vector<PictureCase>& picture_cases() {
    static std::vector<PictureCase> cases = unpack();
    return cases;
}

const PictureCase& picture_case(const std::string& name) {
    for (const PictureCase& c : picture_cases()) {
        if (c.name == name) {
            return c;
        }
    }
    throw std::runtime_error("no test picture " + name);
}

PictureCase background_picture() {
    PictureCase c;
    c.name = "background";
    c.width = 982;
    c.height = 744;
    c.depth = 24;
    c.source_depth = 24;
    c.png.assign(background_png_start, background_png_end);
    c.dib.assign(background_dib_start, background_dib_end);
    return c;
}

DIBSECTION dib_of(HANDLE bitmap) {
    DIBSECTION section = {};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) {
        memset(&section, 0, sizeof(section));
    }
    return section;
}

std::vector<uint8_t> dib_bytes(HANDLE bitmap) {
    DIBSECTION section = dib_of(bitmap);
    const uint8_t* bits = (const uint8_t*)section.dsBm.bmBits;
    if (bits == nullptr) {
        return {};
    }
    return std::vector<uint8_t>(bits, bits + (size_t)section.dsBm.bmWidthBytes * section.dsBm.bmHeight);
}
