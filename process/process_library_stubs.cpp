// Empty library step of the process library until it is built.
#include "runtime/libraries.h"

void process_library_start() {}
