// Stands in for a program planted beside the setup under a system
// program's name: if it ever runs, it leaves a marker file.
#include <windows.h>

int wmain() {
    HANDLE marker = CreateFileW(L"C:\\ph_unattended\\planted_program_ran.txt", GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        CloseHandle(marker);
    }
    return 0;
}
