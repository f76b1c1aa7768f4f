// Stays though no record has maps or lists and nothing draws: the steps hold their places.
// Start steps of the runtime libraries that hold no objects of their own:
// the map and list hooks of type descriptors and the vector drawing state.
#include "runtime/libraries.h"
#include "runtime/registry.h"

// The drawing library's state; nothing in this program draws vectors, so
// the record is only allocated to keep the library's place in start-up.
static void* g_drawing_state;

// No record type of this program has map members, so there is no map hook
// for a type descriptor to call; the step keeps its place in the order.
void maps_library_start() {
}

// Likewise no record type has list members: lists only hold plain records
// whose strings the descriptor names.
void list_library_start() {
}

void drawing_library_start() {
    g_drawing_state = record_alloc(64, nullptr);
}
