// Empty library steps of the image libraries until they are built.
#include "runtime/libraries.h"

void decoder_library_start() {}
void bmp_codec_start() {}
void image_library_start() {}
void image_library_end() {}
void drawing_support_start() {}
void drawing_support_end() {}
