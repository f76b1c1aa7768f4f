// bench/silent's passes: each pass a silent install makes over a big
// product, timed alone with the setup's own code where it has it: the check
// of the stored block (CRC-32 over the block as the setup's image holds it,
// first touch included), inflating it into a new file, reading the written
// file back (CRC-32 in 64 KiB reads), and the safety copy of the setup.
// Prints each pass in ms and ms per MB of product, and their sum.
// Usage: bench_silent_passes SETUP.exe PRODUCT_LENGTH TARGET_FOLDER
#include <windows.h>
#include <stdio.h>
#include <zlib.h>
#include "files/files.h"
#include "files/link_safe.h"
#include "resources/resource_ids.h"
#include "runtime/runtime.h"

static double ms_since(LARGE_INTEGER start) {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)(now.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
}

// The product block of the setup file, mapped as Windows maps a resource
// library (nothing read before the CRC touches it).
static bool stored_block(const wchar_t* setup, const uint8_t** data, DWORD* size) {
    HMODULE module = LoadLibraryExW(setup, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module != nullptr ? FindResourceW(module, MAKEINTRESOURCEW(EMBEDDED_PRODUCT), RT_RCDATA) : nullptr;
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    *data = loaded != nullptr ? (const uint8_t*)LockResource(loaded) : nullptr;
    *size = found != nullptr ? SizeofResource(module, found) : 0;
    return *data != nullptr && *size > 0;
}

static bool read_back(const wchar_t* path, int64_t length) {
    static uint8_t chunk[65536];
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    int64_t total = 0;
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        crc = crc32(crc, chunk, got);
        total += got;
    }
    CloseHandle(file);
    return total == length && crc != 0;
}

int wmain(int argc, wchar_t** argv) {
    runtime_start();
    g_runtime.exit_code = 1;
    if (argc < 4) {
        fprintf(stderr, "usage: bench_silent_passes SETUP.exe PRODUCT_LENGTH TARGET_FOLDER\n");
        runtime_end();
    }
    int64_t length = _wtoi64(argv[2]);
    wchar_t product[MAX_PATH];
    wchar_t copy[MAX_PATH];
    swprintf(product, MAX_PATH, L"%lsPikeharbour64.exe", argv[3]);
    swprintf(copy, MAX_PATH, L"%lsPikeHarbour_Setup.exe", argv[3]);
    DeleteFileW(product);
    DeleteFileW(copy);
    const uint8_t* block = nullptr;
    DWORD size = 0;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    bool ok = stored_block(argv[1], &block, &size);
    volatile uLong crc = ok ? crc32(crc32(0L, Z_NULL, 0), block, size) : 0;
    double check = ms_since(start);
    QueryPerformanceCounter(&start);
    ok = ok && file_create(0, product) != 0;
    ok = ok && file_write_inflated(0, block, (int32_t)size, length) == length && file_flush(0) != 0;
    file_close(0);
    double inflate = ms_since(start);
    QueryPerformanceCounter(&start);
    ok = ok && read_back(product, length);
    double back = ms_since(start);
    QueryPerformanceCounter(&start);
    ok = ok && file_copy_new(argv[1], copy) != 0;
    double safety = ms_since(start);
    if (!ok || crc == 0) {
        fprintf(stderr, "a pass failed\n");
        runtime_end();
    }
    double mb = (double)length / 1e6;
    printf("passes: check %.1f ms (%.2f ms/MB), inflate and write %.1f ms (%.2f ms/MB), "
           "read-back %.1f ms (%.2f ms/MB), safety copy %.1f ms (%.2f ms/MB)\n",
           check, check / mb, inflate, inflate / mb, back, back / mb, safety, safety / mb);
    printf("sum: %.1f\n", check + inflate + back + safety);
    g_runtime.exit_code = 0;
    runtime_end();
}
