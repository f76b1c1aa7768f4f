// Internal pieces of the image table shared by the image library's files.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/registry.h"

// One frame of a picture with several frames; ImageObject::frame_list points
// to frame_count of them in one main-heap block.
struct ImageFrame {
    HANDLE native;
    uint32_t delay;
};

ObjectTable* image_table();
