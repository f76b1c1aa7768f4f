// Baseline for bench/silent: a minimal program that copies one file with
// CopyFileW, the least any installer of that file has to do.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    return CopyFileW(argv[1], argv[2], FALSE) ? 0 : 1;
}
