// Locations and helpers shared by the process tests.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The helper program, next to the test program.
std::wstring child_path();
// A scratch folder on the prefix's C: drive, ending with a backslash.
std::wstring scratch_folder();
// The lines the helper wrote in record mode (empty when it wrote nothing).
std::vector<std::wstring> read_record(const std::wstring& path);
// Sets PH_CHILD_MODE and PH_CHILD_OUT for the next child.
void child_setup(const wchar_t* mode, const std::wstring& out);
std::wstring produce(void (*operation)(const wchar_t*, int64_t), const wchar_t* argument);
