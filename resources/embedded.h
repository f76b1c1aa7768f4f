// The two blocks of data the setup carries: the product executable it
// installs and the picture behind its window.
#pragma once
#include <stdint.h>

struct EmbeddedBlock {
    const uint8_t* data;    // null when the block is missing
    int32_t size;           // exact length in bytes, 0 when missing
};

EmbeddedBlock embedded_product();
EmbeddedBlock embedded_background();
