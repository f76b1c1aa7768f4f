// Command-line parameters, the program's own path and the pause.
#pragma once
#include <stdint.h>

void program_parameter(int32_t index, int64_t out);   // index < 0: the next one
void program_parameter_next(int64_t out);
int32_t program_parameter_count();
void program_file_name(int64_t out);
void delay_ms(uint32_t milliseconds);
