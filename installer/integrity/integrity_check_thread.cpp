// The payload check on a thread of its own. The thread touches nothing of
// the runtime (its temporary strings and object registry have no locks):
// it reads the product block, which the executable's image holds read-only,
// and writes two words that only it writes and the window thread only
// reads: the bytes checked and the result.
#include "installer/integrity/integrity_check_thread.h"
#include <windows.h>
#include <zlib.h>
#include "embedded_checksums.h"
#include "resources/embedded.h"

// One slice per progress step: small enough for a steady indication, large
// enough that the count costs nothing next to the CRC.
constexpr int32_t CHECK_SLICE = 1 << 20;

struct IntegrityCheck {
    const uint8_t* data;
    int32_t size;
    volatile LONG checked;   // bytes, written by the checking thread only
    volatile LONG state;     // IntegrityState, written by the checking thread only
    HANDLE thread;
};

static IntegrityCheck g_check;

static DWORD WINAPI integrity_check_run(void*) {
    uLong crc = crc32(0L, Z_NULL, 0);
    int32_t done = 0;
    while (done < g_check.size) {
        int32_t slice = g_check.size - done < CHECK_SLICE ? g_check.size - done : CHECK_SLICE;
        crc = crc32(crc, g_check.data + done, (uInt)slice);
        done += slice;
        InterlockedExchange(&g_check.checked, done);
    }
    bool intact = g_check.data != nullptr && g_check.size == EMBEDDED_PRODUCT_BLOCK_LENGTH &&
                  (uint32_t)crc == EMBEDDED_PRODUCT_BLOCK_CRC32;
    InterlockedExchange(&g_check.state, intact ? INTEGRITY_INTACT : INTEGRITY_DAMAGED);
    return 0;
}

void integrity_check_start() {
    if (g_check.thread != nullptr || g_check.state != INTEGRITY_RUNNING) {
        return;
    }
    EmbeddedBlock product = embedded_product();
    g_check.data = product.data;
    g_check.size = product.data != nullptr ? product.size : 0;
    g_check.thread = CreateThread(nullptr, 64 * 1024, integrity_check_run, nullptr,
                                  STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (g_check.thread == nullptr) {
        integrity_check_run(nullptr);
    }
}

IntegrityState integrity_check_state() {
    return (IntegrityState)InterlockedCompareExchange(&g_check.state, 0, 0);
}

int32_t integrity_check_percent() {
    LONG checked = InterlockedCompareExchange(&g_check.checked, 0, 0);
    return g_check.size > 0 ? (int32_t)((int64_t)checked * 100 / g_check.size) : 100;
}

void integrity_check_wait(int32_t timeout_ms) {
    if (g_check.thread != nullptr && integrity_check_state() == INTEGRITY_RUNNING) {
        MsgWaitForMultipleObjects(1, &g_check.thread, FALSE, (DWORD)timeout_ms, QS_ALLINPUT);
    }
}
