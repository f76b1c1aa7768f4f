// The font object table. The program creates no fonts; the table exists so
// that the library steps keep their order.
#include <windows.h>
#include "runtime/registry.h"
#include "runtime/libraries.h"

struct FontObject {
    HFONT font;
};

static ObjectTable* g_fonts;

static void release_font(int64_t id) {
    FontObject* record = static_cast<FontObject*>(registry_lookup(g_fonts, id));
    if (record && record->font) {
        DeleteObject(record->font);
    }
    registry_release(g_fonts, id);
}

void font_library_start() {
    g_fonts = registry_create_kind(sizeof(FontObject), 16, release_font);
}

void font_library_end() {
    if (g_fonts) {
        registry_release_all(g_fonts);
    }
}
