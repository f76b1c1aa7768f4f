// Creating a chain of nested folders, taking back what was created when a
// step fails.
#pragma once
#include <stdint.h>

// 0 on failure, -1 when every folder existed, else the number created.
int64_t create_path(const wchar_t* base, const wchar_t* relative);
