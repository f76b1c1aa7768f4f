// Checks of the product executable against the lengths and CRC-32s that the
// build recorded: the stored (compressed) block inside the setup before
// anything is done, and the installed file after it was written.
#include "installer/integrity/integrity.h"
#include <windows.h>
#include <zlib.h>
#include "embedded_checksums.h"
#include "resources/embedded.h"
#include "toolkit/message_box.h"

static uint32_t block_crc(const uint8_t* data, int32_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    return (uint32_t)crc32(crc, data, (uInt)size);
}

bool product_block_intact() {
    EmbeddedBlock product = embedded_product();
    if (product.data == nullptr || product.size != EMBEDDED_PRODUCT_BLOCK_LENGTH) {
        return false;
    }
    return block_crc(product.data, product.size) == EMBEDDED_PRODUCT_BLOCK_CRC32;
}

// A file of another size is not read at all; the product's is read in
// chunks, and any read error is a mismatch.
bool product_handle_verified(HANDLE file) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart != EMBEDDED_PRODUCT_LENGTH) {
        return false;
    }
    static uint8_t chunk[65536];
    uLong crc = crc32(0L, Z_NULL, 0);
    int64_t length = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            return length == EMBEDDED_PRODUCT_LENGTH && crc == EMBEDDED_PRODUCT_CRC32;
        }
        crc = crc32(crc, chunk, got);
        length += got;
    }
}

int64_t product_length() {
    return EMBEDDED_PRODUCT_LENGTH;
}

bool product_file_verified(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool verified = product_handle_verified(file);
    CloseHandle(file);
    return verified;
}

void report_damaged_setup() {
    message_box(L"PikeHarbour Setup Error",
                L"Das Setupprogramm ist beschädigt. Bitte laden Sie es erneut herunter.\n"
                L"The setup program is damaged. Please download it again.",
                MB_OK);
}
