// The embedded picture behind the main window's pages.
#include "images/images.h"
#include "installer/pages/window.h"
#include "resources/embedded.h"
#include "toolkit/windows.h"

// Image 0 keeps the decoded bitmap for the life of the window, which draws
// from it. A picture that cannot be decoded leaves none: the window then
// erases with its class brush.
void install_background(int64_t window) {
    png_decoder_register();
    EmbeddedBlock picture = embedded_background();
    HBITMAP bitmap = (HBITMAP)image_from_memory(0, picture.data, picture.size);
    window_set_background(window, bitmap);
}
