// Empty library steps of the toolkit until each library is built.
#include "runtime/libraries.h"

void event_library_start() {}
void event_library_end() {}
void font_library_start() {}
void font_library_end() {}
void window_library_start() {}
void window_library_end() {}
void control_library_start() {}
void control_library_end() {}
void common_controls_start() {}
