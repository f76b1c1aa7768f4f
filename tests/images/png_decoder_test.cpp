// Every generated picture (each colour type and bit depth, interlaced or
// not, with and without tRNS, with ancillary chunks, 33 x 7 and 1 x 1) and
// the background picture, compared byte for byte with the reference bitmaps.
#include <gtest/gtest.h>
#include "images/images.h"
#include "test_pictures.h"

constexpr uint32_t PNG_TAG = 0x00474E50;

class PngDecoder : public testing::Test {
protected:
    void SetUp() override { png_decoder_register(); }
    void TearDown() override { image_release(ANY_ID); }
};

static void expect_decoded(int64_t id, HANDLE native, const PictureCase& picture) {
    SCOPED_TRACE(picture.name);
    ASSERT_NE(native, nullptr);
    ImageObject* image = image_lookup(id);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->native, native);
    EXPECT_EQ(GetObjectType(native), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(image->width, picture.width);
    EXPECT_EQ(image->height, picture.height);
    EXPECT_EQ(image->depth, picture.depth);
    EXPECT_EQ(image->source_depth, picture.source_depth);
    EXPECT_EQ(image->format_tag, PNG_TAG);
    EXPECT_EQ(image->frame_count, 1);
    DIBSECTION section = dib_of(native);
    EXPECT_EQ(section.dsBmih.biHeight, (LONG)picture.height);
    EXPECT_EQ(section.dsBm.bmBitsPixel, picture.depth);
    EXPECT_TRUE(dib_bytes(native) == picture.dib) << "pixels differ from the reference";
}

TEST_F(PngDecoder, EveryPictureMatchesItsReferenceBitmap) {
    ASSERT_EQ(picture_cases().size(), 66u);
    for (const PictureCase& picture : picture_cases()) {
        int64_t native = image_from_memory(1, picture.png.data(), (int32_t)picture.png.size());
        expect_decoded(1, (HANDLE)native, picture);
    }
}

TEST_F(PngDecoder, BackgroundPictureBecomesA24BitBottomUpBitmapInImageZero) {
    PictureCase background = background_picture();
    int64_t native = image_from_memory(0, background.png.data(), (int32_t)background.png.size());
    expect_decoded(0, (HANDLE)native, background);
    DIBSECTION section = dib_of((HANDLE)native);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 2948);
    EXPECT_EQ(section.dsBmih.biCompression, (DWORD)BI_RGB);
}

TEST_F(PngDecoder, SamplesKeepTheirValuesInBlueGreenRedOrder) {
    struct Pixel {
        const char* picture;
        uint8_t bytes[4];   // of the picture's top-left pixel
        int size;
    };
    const Pixel pixels[] = {
        {"c6_d8_33x7", {0, 0, 255, 128}, 4},        // straight alpha, no premultiplication
        {"c6_d8_adam7_33x7", {0, 0, 255, 128}, 4},
        {"c2_d16_33x7", {0xAB, 0x34, 0x12, 0}, 3},  // high bytes of 0x12FF 0x3400 0xAB01
        {"c2_d16_adam7_33x7", {0xAB, 0x34, 0x12, 0}, 3},
    };
    for (const Pixel& pixel : pixels) {
        const PictureCase& picture = picture_case(pixel.picture);
        int64_t native = image_from_memory(2, picture.png.data(), (int32_t)picture.png.size());
        ASSERT_NE(native, 0) << pixel.picture;
        std::vector<uint8_t> bytes = dib_bytes((HANDLE)native);
        size_t top_row = bytes.size() - dib_of((HANDLE)native).dsBm.bmWidthBytes;
        for (int i = 0; i < pixel.size; i++) {
            EXPECT_EQ(bytes[top_row + i], pixel.bytes[i]) << pixel.picture << " byte " << i;
        }
    }
}

TEST_F(PngDecoder, AnyIdReturnsTheRecordWhoseFirstFieldIsTheBitmap) {
    const PictureCase& picture = picture_case("c3_d1_33x7");
    int64_t id = image_from_memory(ANY_ID, picture.png.data(), (int32_t)picture.png.size());
    ASSERT_NE(id, 0);
    ImageObject* image = image_lookup(id);
    ASSERT_EQ((int64_t)image, id);
    EXPECT_EQ(GetObjectType(image->native), (DWORD)OBJ_BITMAP);
    EXPECT_NE((HANDLE)id, image->native);
    EXPECT_TRUE(dib_bytes(image->native) == picture.dib);
    HANDLE native = image->native;
    image_release(id);
    EXPECT_EQ(GetObjectType(native), 0u);
}
