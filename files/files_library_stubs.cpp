// Empty library steps of the file library until it is built.
#include "runtime/libraries.h"

void file_library_start() {}
void file_library_end() {}
