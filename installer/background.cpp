// The embedded picture as the window's background brush.
#include "images/images.h"
#include "installer/handlers.h"
#include "installer/state.h"
#include "resources/embedded.h"
#include "toolkit/windows.h"

// A picture that cannot be decoded leaves a null brush: the class then
// draws no background of its own.
void install_background() {
    png_decoder_register();
    EmbeddedBlock picture = embedded_background();
    HBITMAP bitmap = (HBITMAP)image_from_memory(0, picture.data, picture.size);
    g_installer.background_brush = CreatePatternBrush(bitmap);
    // The brush holds its own copy of the pixels (seen under Wine): the
    // decoded bitmap is 2.2 MB that nothing draws from again.
    image_release(0);
    SetClassLongPtrW(window_handle(g_installer.main_window), GCLP_HBRBACKGROUND,
                     (LONG_PTR)g_installer.background_brush);
}
