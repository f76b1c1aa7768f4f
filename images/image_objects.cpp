// The image table: numbered ImageObject records that own their bitmap or
// icon handle (and, for several frames, the frame list).
#include "images/images.h"
#include "images/image_objects.h"
#include "runtime/libraries.h"
#include "runtime/registry.h"
#include "runtime/runtime.h"

static ObjectTable* g_image_table;

ObjectTable* image_table() {
    return g_image_table;
}

static void image_destroy_handle(HANDLE native) {
    if (native == nullptr) {
        return;
    }
    if (GetObjectType(native) == OBJ_BITMAP) {
        DeleteObject(native);
    } else {
        DestroyIcon((HICON)native);
    }
}

void image_release(int64_t id) {
    if (id == ANY_ID) {
        registry_release_all(g_image_table);
        return;
    }
    ImageObject* image = (ImageObject*)registry_lookup(g_image_table, id);
    if (image == nullptr) {
        return;
    }
    if (image->frame_count < 2) {
        image_destroy_handle(image->native);
    } else {
        ImageFrame* frames = (ImageFrame*)image->frame_list;
        for (int32_t i = 0; frames != nullptr && i < image->frame_count; i++) {
            image_destroy_handle(frames[i].native);
        }
    }
    if (image->frame_list != nullptr) {
        heap_free(image->frame_list);
    }
    registry_release(g_image_table, id);
}

ImageObject* image_lookup(int64_t id) {
    return (ImageObject*)registry_lookup(g_image_table, id);
}

void image_library_start() {
    g_image_table = registry_create_kind(sizeof(ImageObject), 16, image_release);
}

void image_library_end() {
    registry_release_all(g_image_table);
}
