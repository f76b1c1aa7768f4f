// The runtime start registers only the BMP decoder, so a PNG is refused
// until png_decoder_register. Checked in a global environment, which runs
// before any test registers the PNG decoder.
#include <gtest/gtest.h>
#include "images/images.h"
#include "test_pictures.h"

namespace {

class PngRegistration : public testing::Environment {
public:
    void SetUp() override {
        const PictureCase& picture = picture_case("c2_d8_33x7");
        EXPECT_EQ(image_from_memory(0, picture.png.data(), (int32_t)picture.png.size()), 0)
            << "a PNG loaded before the PNG decoder was registered";
        EXPECT_EQ(image_lookup(0), nullptr);
        png_decoder_register();
        png_decoder_register();
        EXPECT_NE(image_from_memory(0, picture.png.data(), (int32_t)picture.png.size()), 0);
        image_release(0);
    }
};

testing::Environment* const g_registration = testing::AddGlobalTestEnvironment(new PngRegistration);

}  // namespace
