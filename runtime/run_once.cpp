// Running an initialisation exactly once across threads.
#include <windows.h>
#include "runtime/registry.h"

typedef BOOL (WINAPI* InitOnceFunction)(PINIT_ONCE, PINIT_ONCE_FN, PVOID, LPVOID*);

static BOOL CALLBACK run_once_callback(PINIT_ONCE, PVOID parameter, PVOID* context) {
    reinterpret_cast<void (*)()>(parameter)();
    if (context) {
        *context = reinterpret_cast<PVOID>(4);
    }
    return TRUE;
}

// Without InitOnceExecuteOnce the word is a 32-bit state: 0 not run,
// 1 running, 2 done.
static void run_once_fallback(RunOnceWord* word, void (*function)()) {
    volatile LONG* state = reinterpret_cast<volatile LONG*>(word);
    LONG previous = InterlockedCompareExchange(state, 1, 0);
    if (previous == 0) {
        function();
        InterlockedExchange(state, 2);
        return;
    }
    while (InterlockedCompareExchange(state, 2, 2) != 2) {
        Sleep(0);
    }
}

void run_once(RunOnceWord* word, void (*function)()) {
    HMODULE kernel = LoadLibraryW(L"Kernel32.dll");
    InitOnceFunction init_once = kernel
        ? reinterpret_cast<InitOnceFunction>(GetProcAddress(kernel, "InitOnceExecuteOnce"))
        : nullptr;
    if (init_once) {
        init_once(reinterpret_cast<PINIT_ONCE>(word), run_once_callback,
                  reinterpret_cast<PVOID>(function), nullptr);
    } else {
        run_once_fallback(word, function);
    }
    if (kernel) {
        FreeLibrary(kernel);
    }
}
