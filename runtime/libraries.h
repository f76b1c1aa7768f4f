// The start and end steps of every runtime library, in the order that
// runtime_start and runtime_end run them (see runtime/startup.cpp).
#pragma once

void string_library_start();        // 2
void maps_library_start();          // 3
void event_library_start();         // 4  toolkit
void event_window_start();          //    toolkit, the post-event window
void file_library_start();          // 5  files
void font_library_start();          // 6  toolkit
void memory_library_start();        // 7
void drawing_library_start();       // 8
void decoder_library_start();       // 9  images
void bmp_codec_start();             // 10 images
void list_library_start();          // 11
void image_library_start();         // 12 images
void drawing_support_start();       // 13 images
void window_library_start();        // 14 toolkit
void control_library_start();       // 15 toolkit
void process_library_start();       // 16 process
void common_controls_start();       // 17 toolkit

void control_library_end();         // 1  toolkit
void window_library_end();          // 2  toolkit
void drawing_support_end();         // 3  images
void image_library_end();           // 4  images
void font_library_end();            // 5  toolkit
void file_library_end();            // 6  files
void event_library_end();           // 7  toolkit
void memory_library_end();          // 8
void string_library_end();          // 9
