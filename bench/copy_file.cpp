// Baseline for bench/silent: a minimal Win32 program (GUI subsystem, user32
// loaded, as any windowed program has) that copies one file with CopyFileW,
// the least any installer of that file has to do.
#include <windows.h>
#include <stdlib.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Any user32 call keeps the library in the import table.
    if (__argc != 3 || IsWindow(nullptr)) {
        return 2;
    }
    return CopyFileW(__wargv[1], __wargv[2], FALSE) ? 0 : 1;
}
