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

struct StartStep {
    RuntimeStepFunction run;
    bool windows;   // only a program that shows windows needs it
};

// In this order; runtime_start_without_windows leaves the window steps to
// runtime_start_windows.
static const StartStep start_steps[] = {
    {runtime_record_start, false},   // 1  global record, instance, main heap
    {string_library_start, false},   // 2  string heap and temporary buffer
    {maps_library_start, false},     // 3  map hooks of type descriptors
    {event_library_start, false},    // 4  event queue and post message
    {event_window_start, true},      //    post-event window
    {file_library_start, false},     // 5  file object table
    {thread_slot_start, false},      //    thread-local storage index
    {font_library_start, false},     // 6  font object table
    {memory_library_start, false},   // 7  memory-block heap
    {drawing_library_start, false},  // 8  vector drawing state
    {decoder_library_start, false},  // 9  image decoder table
    {bmp_codec_start, false},        // 10 BMP decoder and writer
    {list_library_start, false},     // 11 list hooks of type descriptors
    {image_library_start, false},    // 12 image object table
    {drawing_support_start, true},   // 13 AlphaBlend and visual-style flag
    {window_library_start, true},    // 14 window object table, icon, cursor
    {control_library_start, true},   // 15 control object table, default font
    {process_library_start, false},  // 16 launched-program table
    {common_controls_start, true},   // 17 common controls
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
    runtime_start_without_windows();
    runtime_start_windows();
}

void runtime_start_without_windows() {
    for (const StartStep& step : start_steps) {
        if (!step.windows) {
            step.run();
        }
    }
}

// The first window created under Wine starts the display driver (about
// 17 ms of a silent install's 22 ms runtime start, traced), and the
// control libraries load comctl32's classes: a role that shows no window
// skips both.
void runtime_start_windows() {
    static bool started;
    if (started) {
        return;
    }
    started = true;
    for (const StartStep& step : start_steps) {
        if (step.windows) {
            step.run();
        }
    }
}

void runtime_end() {
    for (RuntimeStepFunction step : end_steps) {
        step();
    }
    ExitProcess(static_cast<UINT>(g_runtime.exit_code));
}
