// The embedded test pictures: the generated PNG cases with their reference
// bitmaps, and the background picture with its reference bitmap.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>
#include <vector>

struct PictureCase {
    std::string name;
    uint32_t width;
    uint32_t height;
    uint32_t depth;          // 24 or 32
    uint32_t source_depth;
    std::vector<uint8_t> png;
    std::vector<uint8_t> dib;  // bottom-up rows, padded
};

const std::vector<PictureCase>& picture_cases();
const PictureCase& picture_case(const std::string& name);
PictureCase background_picture();

// The DIB section behind a bitmap handle (zeroed when it is none).
DIBSECTION dib_of(HANDLE bitmap);
std::vector<uint8_t> dib_bytes(HANDLE bitmap);
