// bench/png: the embedded background decoded into image 0, against
// inflating the same picture's IDAT data with zlib into a buffer of the
// filtered rows' size. Best of several rounds of each, alternating.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>
#include <vector>
#include "images/images.h"
#include "resources/embedded.h"
#include "runtime/runtime.h"

static uint32_t be32(const uint8_t* at) {
    return (uint32_t)at[0] << 24 | (uint32_t)at[1] << 16 | (uint32_t)at[2] << 8 | at[3];
}

// The concatenated IDAT data and the inflated size (rows with filter bytes).
static std::vector<uint8_t> idat_data(const uint8_t* png, size_t size, size_t* inflated) {
    std::vector<uint8_t> data;
    for (size_t at = 8; at + 12 <= size;) {
        uint32_t length = be32(png + at);
        if (memcmp(png + at + 4, "IHDR", 4) == 0) {
            uint32_t width = be32(png + at + 8);
            uint32_t height = be32(png + at + 12);
            *inflated = (size_t)height * (1 + (size_t)width * 3);
        }
        if (memcmp(png + at + 4, "IDAT", 4) == 0) {
            data.insert(data.end(), png + at + 8, png + at + 8 + length);
        }
        at += 12 + (size_t)length;
    }
    return data;
}

static double seconds_since(LARGE_INTEGER start) {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (double)(now.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
}

static double time_inflate(const std::vector<uint8_t>& data, std::vector<uint8_t>& out) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    uLongf length = (uLongf)out.size();
    int result = uncompress(out.data(), &length, data.data(), (uLong)data.size());
    double elapsed = seconds_since(start);
    return result == Z_OK && length == out.size() ? elapsed : -1;
}

static double time_decode(const EmbeddedBlock& block) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    int64_t bitmap = image_from_memory(0, block.data, block.size);
    double elapsed = seconds_since(start);
    return bitmap != 0 ? elapsed : -1;
}

int main() {
    runtime_start();
    png_decoder_register();
    EmbeddedBlock block = embedded_background();
    size_t inflated = 0;
    std::vector<uint8_t> data = idat_data(block.data, (size_t)block.size, &inflated);
    std::vector<uint8_t> out(inflated);
    double best_decode = 1e9;
    double best_inflate = 1e9;
    for (int round = 0; round < 40; round++) {
        double inflate = time_inflate(data, out);
        double decode = time_decode(block);
        if (inflate < 0 || decode < 0) {
            printf("bench/png: the background picture did not decode\n");
            g_runtime.exit_code = 1;
            runtime_end();
        }
        best_inflate = inflate < best_inflate ? inflate : best_inflate;
        best_decode = decode < best_decode ? decode : best_decode;
    }
    printf("png decode of the background (%d bytes): %.2f ms\n", block.size, best_decode * 1000);
    printf("zlib inflate of its IDAT data alone:     %.2f ms\n", best_inflate * 1000);
    printf("ratio: %.2fx (target at most 1.5x)\n", best_decode / best_inflate);
    runtime_end();
}
