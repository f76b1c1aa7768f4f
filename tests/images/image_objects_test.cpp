// Image records and the non-PNG paths: BMP blocks, icon data, replacing an
// image, releasing every image, the decoder table's order.
#include <gtest/gtest.h>
#include <string.h>
#include "images/images.h"
#include "images/image_decoders.h"
#include "test_pictures.h"

namespace {

constexpr uint32_t BMP_TAG = 0x00504D42;
constexpr uint32_t ICON_TAG = 0x4E4F4349;

void put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = (uint8_t)value;
    out[at + 1] = (uint8_t)(value >> 8);
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

// A BMP of width x |height| whose pixel (x, y from the top) is
// (x * 40, y * 60, 200) as blue, green, red; height < 0 stores it top-down.
std::vector<uint8_t> make_bmp(int32_t width, int32_t height, int bits) {
    int32_t rows = height < 0 ? -height : height;
    size_t stride = ((size_t)width * bits + 31) / 32 * 4;
    std::vector<uint8_t> out(54 + stride * rows);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, (uint32_t)out.size());
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, width);
    put32(out, 22, (uint32_t)height);
    put16(out, 26, 1);
    put16(out, 28, bits);
    for (int32_t y = 0; y < rows; y++) {
        size_t row = 54 + stride * (height < 0 ? y : rows - 1 - y);
        for (int32_t x = 0; x < width; x++) {
            uint8_t* pixel = &out[row + x * bits / 8];
            pixel[0] = (uint8_t)(x * 40);
            pixel[1] = (uint8_t)(y * 60);
            pixel[2] = 200;
        }
    }
    return out;
}

// An icon image of size x size at 24 or 32 bits, every pixel one colour.
std::vector<uint8_t> make_icon_image(int size, int bits, uint32_t bgr) {
    size_t colour_stride = ((size_t)size * bits + 31) / 32 * 4;
    size_t mask_stride = ((size_t)size + 31) / 32 * 4;
    std::vector<uint8_t> out(40 + (colour_stride + mask_stride) * size);
    put32(out, 0, 40);
    put32(out, 4, size);
    put32(out, 8, size * 2);
    put16(out, 12, 1);
    put16(out, 14, bits);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            uint8_t* pixel = &out[40 + y * colour_stride + x * bits / 8];
            put32(out, pixel - out.data(), bits == 32 ? (bgr | 0xFF000000) : bgr);
            if (bits == 24) {
                pixel[3] = x + 1 < size ? pixel[3] : 0;
            }
        }
    }
    return out;
}

struct IconEntry {
    int size;
    int bits;
    uint32_t bgr;
};

std::vector<uint8_t> make_icon(const std::vector<IconEntry>& entries) {
    std::vector<uint8_t> out(6 + 16 * entries.size());
    put16(out, 2, 1);
    put16(out, 4, (uint32_t)entries.size());
    for (size_t i = 0; i < entries.size(); i++) {
        std::vector<uint8_t> image = make_icon_image(entries[i].size, entries[i].bits, entries[i].bgr);
        size_t entry = 6 + 16 * i;
        out[entry] = (uint8_t)entries[i].size;
        out[entry + 1] = (uint8_t)entries[i].size;
        put16(out, entry + 4, 1);
        put16(out, entry + 6, entries[i].bits);
        put32(out, entry + 8, (uint32_t)image.size());
        put32(out, entry + 12, (uint32_t)out.size());
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

// The colour of an icon's first pixel, as 0x00RRGGBB.
uint32_t icon_colour(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        return 0xFFFFFFFF;
    }
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = bitmap.bmWidth;
    header.bmiHeader.biHeight = -bitmap.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels((size_t)bitmap.bmWidth * bitmap.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    DeleteDC(dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels.empty() ? 0xFFFFFFFF : pixels[0] & 0xFFFFFF;
}

// A decoder registered behind BMP and PNG that records which blocks reach it.
int g_spy_calls;
int32_t spy_check(ImageDecodeContext* context) {
    g_spy_calls++;
    return 0;
}
int32_t spy_decode(ImageDecodeContext*, uint8_t*, int32_t, uint32_t) {
    return 0;
}
void spy_end(ImageDecodeContext*) {}
const ImageDecoder g_spy = {spy_check, spy_decode, spy_end, 0x59505300};

class ImageObjects : public testing::Test {
protected:
    void SetUp() override { png_decoder_register(); }
    void TearDown() override { image_release(ANY_ID); }
};

TEST_F(ImageObjects, UncompressedBmpBecomes24BitRows) {
    struct Case {
        int32_t width;
        int32_t height;
        int bits;
    };
    const Case cases[] = {{3, 2, 24}, {3, -2, 24}, {5, 3, 32}, {1, -1, 32}};
    for (const Case& c : cases) {
        std::vector<uint8_t> block = make_bmp(c.width, c.height, c.bits);
        int64_t native = image_from_memory(5, block.data(), (int32_t)block.size());
        ASSERT_NE(native, 0) << c.width << "x" << c.height << "@" << c.bits;
        ImageObject* image = image_lookup(5);
        EXPECT_EQ(image->format_tag, BMP_TAG);
        EXPECT_EQ(image->depth, 24);
        EXPECT_EQ(image->source_depth, c.bits);
        int32_t rows = c.height < 0 ? -c.height : c.height;
        EXPECT_EQ(image->height, rows);
        DIBSECTION section = dib_of((HANDLE)native);
        EXPECT_GT(section.dsBmih.biHeight, 0);
        std::vector<uint8_t> bytes = dib_bytes((HANDLE)native);
        int32_t pitch = section.dsBm.bmWidthBytes;
        for (int32_t y = 0; y < rows; y++) {
            for (int32_t x = 0; x < c.width; x++) {
                const uint8_t* pixel = &bytes[(size_t)(rows - 1 - y) * pitch + x * 3];
                EXPECT_EQ(pixel[0], (uint8_t)(x * 40));
                EXPECT_EQ(pixel[1], (uint8_t)(y * 60));
                EXPECT_EQ(pixel[2], 200);
            }
        }
    }
}

TEST_F(ImageObjects, BmBlocksGoToTheBmpDecoderFirst) {
    static bool registered = false;
    if (!registered) {
        ASSERT_EQ(decoder_register(&g_spy), 1);
        registered = true;
    }
    std::vector<uint8_t> good = make_bmp(4, 4, 24);
    struct Case {
        const char* what;
        std::vector<uint8_t> block;
        int spy_calls;   // 0: the BMP check accepted (and the load failed)
    };
    std::vector<Case> cases = {
        {"BM and zeros, nothing else valid", std::vector<uint8_t>(64, 0), 0},
        {"pixels cut short", std::vector<uint8_t>(good.begin(), good.end() - 1), 0},
        {"RLE compressed", good, 0},
        {"header cut at 29 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 29), 1},
        {"reserved word at 6 set", good, 1},
        {"reserved word at 8 set", good, 1},
        {"PNG block", picture_case("c2_d8_1x1").png, 1},
    };
    cases[0].block[0] = 'B';
    cases[0].block[1] = 'M';
    put32(cases[2].block, 30, BI_RLE8);
    cases[4].block[6] = 1;
    cases[5].block[9] = 1;
    cases[6].block[20] ^= 0xFF;   // IHDR data: the PNG check fails too
    for (Case& c : cases) {
        g_spy_calls = 0;
        EXPECT_EQ(image_from_memory(6, c.block.data(), (int32_t)c.block.size()), 0) << c.what;
        EXPECT_EQ(g_spy_calls, c.spy_calls) << c.what;
        EXPECT_EQ(image_lookup(6), nullptr) << c.what;
    }
}

TEST_F(ImageObjects, IconDataPicksTheDeepestImageOfTheFirstSize) {
    std::vector<uint8_t> block = make_icon({
        {16, 24, 0x0000FF},    // first: red, 24 bits
        {32, 32, 0xFF0000},    // deeper but another size: never chosen
        {16, 32, 0x00FF00},    // deepest of 16 x 16: green
        {16, 32, 0xFFFFFF},    // as deep, later: the earlier stays
    });
    int64_t native = image_from_memory(7, block.data(), (int32_t)block.size());
    ASSERT_NE(native, 0);
    ImageObject* image = image_lookup(7);
    EXPECT_EQ(image->format_tag, ICON_TAG);
    EXPECT_EQ(GetObjectType((HANDLE)native), 0u);   // an icon, not a GDI object
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->height, 16);
    EXPECT_EQ(image->depth, 32);
    EXPECT_EQ(image->source_depth, 32);
    EXPECT_EQ(icon_colour((HICON)native), 0x00FF00u);
}

TEST_F(ImageObjects, IconDirectoryOutsideTheBlockIsNotIconData) {
    std::vector<uint8_t> good = make_icon({{16, 32, 0x00FF00}});
    std::vector<std::vector<uint8_t>> blocks = {
        std::vector<uint8_t>(good.begin(), good.begin() + 6),      // no entry
        std::vector<uint8_t>(good.begin(), good.begin() + 21),     // entry cut
        std::vector<uint8_t>(good.begin(), good.end() - 1),        // image cut
        good,
        good,
    };
    put16(blocks[3], 4, 0);             // zero entries
    put32(blocks[4], 6 + 12, 0xFFFFFFF0u);   // offset far past the block
    for (size_t i = 0; i < blocks.size(); i++) {
        EXPECT_EQ(image_from_memory(8, blocks[i].data(), (int32_t)blocks[i].size()), 0) << i;
    }
    EXPECT_NE(image_from_memory(8, good.data(), (int32_t)good.size()), 0);
}

TEST_F(ImageObjects, ASecondLoadIntoAnIdDestroysTheFirstBitmap) {
    const PictureCase& first = picture_case("c2_d8_33x7");
    const PictureCase& second = picture_case("c6_d8_33x7");
    HANDLE old_bitmap = (HANDLE)image_from_memory(0, first.png.data(), (int32_t)first.png.size());
    ASSERT_EQ(GetObjectType(old_bitmap), (DWORD)OBJ_BITMAP);
    HANDLE new_bitmap = (HANDLE)image_from_memory(0, second.png.data(), (int32_t)second.png.size());
    ASSERT_NE(new_bitmap, nullptr);
    EXPECT_TRUE(old_bitmap == new_bitmap || GetObjectType(old_bitmap) == 0);
    EXPECT_EQ(image_lookup(0)->native, new_bitmap);
    EXPECT_EQ(image_lookup(0)->depth, 32);
    // A failed load leaves the id empty even though it held an image.
    uint8_t junk[16] = {1, 2, 3};
    EXPECT_EQ(image_from_memory(0, junk, sizeof(junk)), 0);
    EXPECT_EQ(image_lookup(0), nullptr);
    EXPECT_EQ(GetObjectType(new_bitmap), 0u);
}

TEST_F(ImageObjects, ReleasingEveryImageDestroysBitmapsAndIcons) {
    const PictureCase& picture = picture_case("c3_d8_33x7");
    std::vector<uint8_t> icon_block = make_icon({{16, 32, 0x00FF00}});
    HANDLE numbered = (HANDLE)image_from_memory(9, picture.png.data(), (int32_t)picture.png.size());
    int64_t dynamic = image_from_memory(ANY_ID, picture.png.data(), (int32_t)picture.png.size());
    HICON icon = (HICON)image_from_memory(10, icon_block.data(), (int32_t)icon_block.size());
    ASSERT_TRUE(numbered != nullptr && dynamic != 0 && icon != nullptr);
    HANDLE dynamic_bitmap = image_lookup(dynamic)->native;
    image_release(ANY_ID);
    EXPECT_EQ(GetObjectType(numbered), 0u);
    EXPECT_EQ(GetObjectType(dynamic_bitmap), 0u);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(icon, &info));
    EXPECT_EQ(image_lookup(9), nullptr);
    EXPECT_EQ(image_lookup(10), nullptr);
}

TEST(DrawingSupport, AlphaBlendComesFromTheSystemDirectory) {
    EXPECT_EQ(drawing_support_has_alpha_blend(), 1);
}

}  // namespace

// The resizing filter: the asked size, flat colour stays exactly flat (the
// weights add up to one), and an edge between black and white stays in
// order without ringing past either colour, larger and smaller alike.
TEST(ImageResize, KeepsFlatColourAndAnEdgeInOrder) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, 10, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    uint8_t* bits = nullptr;
    HBITMAP source = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_TRUE(source);
    for (int y = 0; y < 10; y++) {
        for (int x = 0; x < 40; x++) {
            uint8_t* p = bits + y * 120 + x * 3;
            p[0] = 30;                          // blue: flat
            p[1] = x < 20 ? 0 : 255;            // green: the edge
            p[2] = 200;                         // red: flat
        }
    }
    for (int width : {60, 70, 36, 20}) {
        HBITMAP made = image_resize(source, width, 7);
        ASSERT_TRUE(made) << width;
        DIBSECTION section = {};
        ASSERT_EQ(GetObjectW(made, sizeof section, &section), (int)sizeof section);
        EXPECT_EQ(section.dsBm.bmWidth, width);
        EXPECT_EQ(section.dsBm.bmHeight, 7);
        const uint8_t* out = static_cast<const uint8_t*>(section.dsBm.bmBits);
        for (int y = 0; y < 7; y++) {
            const uint8_t* row = out + y * section.dsBm.bmWidthBytes;
            EXPECT_EQ(row[1], 0) << width;
            EXPECT_EQ(row[(width - 1) * 3 + 1], 255) << width;
            for (int x = 0; x < width; x++) {
                ASSERT_EQ(row[x * 3], 30) << width << " at " << x;
                ASSERT_EQ(row[x * 3 + 2], 200) << width << " at " << x;
                if (x > 0) {
                    ASSERT_GE(row[x * 3 + 1], row[(x - 1) * 3 + 1]) << width << " at " << x;
                }
            }
        }
        DeleteObject(made);
    }
    EXPECT_FALSE(image_resize(source, 0, 7));
    EXPECT_FALSE(image_resize(nullptr, 10, 7));
    DeleteObject(source);
}
