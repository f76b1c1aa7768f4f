// Runtime start-up and shutdown: the fixed order in which every runtime
// library is brought up and taken down again.
#include <string.h>
#include "runtime/libraries.h"
#include "runtime/runtime.h"

RuntimeRecord g_runtime;

// Step 1: a clean global record, the module handle and the main heap.
static void runtime_record_start() {
    memset(&g_runtime, 0, sizeof g_runtime);
    g_runtime.instance = GetModuleHandleW(nullptr);
    g_runtime.main_heap = HeapCreate(0, 4096, 0);
}

// Taken between the file and font steps; nothing reads the index.
static void thread_slot_start() {
    TlsAlloc();
}

// Last step before the process ends: the main heap and every record in it.
static void runtime_record_end() {
    HeapDestroy(g_runtime.main_heap);
    g_runtime.main_heap = nullptr;
}

static const RuntimeStepFunction start_steps[] = {
    runtime_record_start,   // 1  global record, instance, main heap
    string_library_start,   // 2  string heap and temporary buffer
    maps_library_start,     // 3  map hooks of type descriptors
    event_library_start,    // 4  post-event window and message
    file_library_start,     // 5  file object table
    thread_slot_start,      //    thread-local storage index
    font_library_start,     // 6  font object table
    memory_library_start,   // 7  memory-block heap
    drawing_library_start,  // 8  vector drawing state
    decoder_library_start,  // 9  image decoder table
    bmp_codec_start,        // 10 BMP decoder and writer
    list_library_start,     // 11 list hooks of type descriptors
    image_library_start,    // 12 image object table
    drawing_support_start,  // 13 AlphaBlend and visual-style flag
    window_library_start,   // 14 window object table, icon, cursor
    control_library_start,  // 15 control object table, default font
    process_library_start,  // 16 launched-program table
    common_controls_start,  // 17 common controls and COM
};

static const RuntimeStepFunction end_steps[] = {
    control_library_end,    // 1  the controls' own window
    window_library_end,     // 2  every window, the icon
    drawing_support_end,    // 3  msimg32.dll
    image_library_end,      // 4  every image
    font_library_end,       // 5  every font
    file_library_end,       // 6  every file, flushed and closed
    event_library_end,      // 7  post-event window and class
    memory_library_end,     // 8  memory-block heap
    string_library_end,     // 9  temporary buffer and string heap
    runtime_record_end,     // 10 main heap
};

void runtime_start() {
    for (RuntimeStepFunction step : start_steps) {
        step();
    }
}

void runtime_end() {
    for (RuntimeStepFunction step : end_steps) {
        step();
    }
    ExitProcess(static_cast<UINT>(g_runtime.exit_code));
}
