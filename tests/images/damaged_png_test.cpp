// Broken blocks: truncation at every length, bad CRCs, damaged image data,
// random bytes, a fixed-seed fuzz loop and chunks that claim more than the
// block holds. Each failed load returns 0, leaves the id empty, and the next
// load into the same id works.
#include <gtest/gtest.h>
#include <string.h>
#include <zlib.h>
#include <random>
#include "images/images.h"
#include "test_pictures.h"

// Every malloc of the program passes here (linked with --wrap=malloc):
// libpng and zlib allocate through it. While counting, the largest request
// is kept. (ld leaves __real_malloc unresolved against the C runtime's
// import library: the call goes through the import's own pointer.)
static bool g_counting;
static size_t g_largest_request;
extern "C" void* (*__imp_malloc)(size_t size);
extern "C" void* __wrap_malloc(size_t size) {
    if (g_counting && size > g_largest_request) {
        g_largest_request = size;
    }
    return __imp_malloc(size);
}

namespace {

struct Chunk {
    size_t offset;   // of the length field
    uint32_t length;
    std::string type;
};

uint32_t be32(const uint8_t* at) {
    return (uint32_t)at[0] << 24 | (uint32_t)at[1] << 16 | (uint32_t)at[2] << 8 | at[3];
}

std::vector<Chunk> chunks_of(const std::vector<uint8_t>& png) {
    std::vector<Chunk> chunks;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = be32(&png[at]);
        if (length > png.size() - at - 12) {
            break;
        }
        chunks.push_back({at, length, std::string((const char*)&png[at + 4], 4)});
        at += 12 + length;
    }
    return chunks;
}

void fix_crcs(std::vector<uint8_t>& png) {
    for (const Chunk& chunk : chunks_of(png)) {
        uint32_t crc = crc32(0, &png[chunk.offset + 4], chunk.length + 4);
        for (int i = 0; i < 4; i++) {
            png[chunk.offset + 8 + chunk.length + i] = (uint8_t)(crc >> (24 - 8 * i));
        }
    }
}

const Chunk& first_chunk(const std::vector<uint8_t>& png, const char* type) {
    static std::vector<Chunk> chunks;
    chunks = chunks_of(png);
    for (const Chunk& chunk : chunks) {
        if (chunk.type == type) {
            return chunk;
        }
    }
    throw std::runtime_error(type);
}

void put_be32(std::vector<uint8_t>& png, size_t at, uint32_t value) {
    for (int i = 0; i < 4; i++) {
        png[at + i] = (uint8_t)(value >> (24 - 8 * i));
    }
}

// The picture with a chunk of that type and content put before its first
// IDAT (or its first IDAT itself when the type is IDAT); returns the offset
// of that chunk's length field.
size_t with_chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    size_t at = first_chunk(png, "IDAT").offset;
    if (strcmp(type, "IDAT") == 0) {
        return at;
    }
    std::vector<uint8_t> chunk(12 + data.size());
    put_be32(chunk, 0, (uint32_t)data.size());
    memcpy(&chunk[4], type, 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    png.insert(png.begin() + at, chunk.begin(), chunk.end());
    fix_crcs(png);
    return at;
}

// A keyword (with the compression fields zTXt, iTXt and iCCP have) and
// zlib data of that many zero bytes.
std::vector<uint8_t> keyword_and_zeros(const char* type, size_t inflated) {
    std::vector<uint8_t> data = {'k', 0};
    if (strcmp(type, "iTXt") == 0) {
        data.insert(data.end(), {1, 0, 0, 0});   // compressed, no language or translation
    } else if (strcmp(type, "zTXt") == 0 || strcmp(type, "iCCP") == 0) {
        data.push_back(0);
    }
    std::vector<uint8_t> zeros(inflated);
    uLongf length = compressBound((uLong)inflated);
    std::vector<uint8_t> packed(length);
    EXPECT_EQ(compress(packed.data(), &length, zeros.data(), (uLong)inflated), Z_OK);
    data.insert(data.end(), packed.begin(), packed.begin() + length);
    return data;
}

class DamagedPng : public testing::Test {
protected:
    void SetUp() override { png_decoder_register(); }
    void TearDown() override { image_release(ANY_ID); }

    // A failed load into id 3 that leaves it empty; then a good load works.
    void expect_refused(const std::vector<uint8_t>& block, const std::string& what) {
        EXPECT_EQ(image_from_memory(3, block.data(), (int32_t)block.size()), 0) << what;
        EXPECT_EQ(image_lookup(3), nullptr) << what;
    }
    void expect_next_load_works() {
        const PictureCase& good = picture_case("c0_d8_33x7");
        EXPECT_NE(image_from_memory(3, good.png.data(), (int32_t)good.png.size()), 0);
        image_release(3);
    }
};

TEST_F(DamagedPng, EveryTruncationShortOfTheImageDataFails) {
    // The decoder stops after the last row: IEND is never read, so only a
    // block cut inside IEND still loads.
    const std::vector<uint8_t>& full = picture_case("c6_d16_adam7_33x7").png;
    size_t iend = first_chunk(full, "IEND").offset;
    for (size_t length = 0; length < iend; length++) {
        std::vector<uint8_t> block(full.begin(), full.begin() + length);
        block.shrink_to_fit();
        expect_refused(block, "length " + std::to_string(length));
    }
    for (size_t length = iend; length <= full.size(); length++) {
        std::vector<uint8_t> block(full.begin(), full.begin() + length);
        EXPECT_NE(image_from_memory(3, block.data(), (int32_t)block.size()), 0) << length;
    }
    image_release(3);
    expect_next_load_works();
}

TEST_F(DamagedPng, BadCrcOrDamagedDataInACriticalChunkFails) {
    const std::vector<uint8_t>& good = picture_case("c2_d8_33x7").png;
    struct Damage {
        const char* chunk;
        bool in_crc;        // else in the data, with the CRC fixed again
        bool last_idat;
    };
    const Damage damages[] = {
        {"IHDR", true, false},
        {"IHDR", false, false},   // width 0x80... is invalid
        {"IDAT", true, false},
        {"IDAT", true, true},
        {"IDAT", false, false},   // zlib header
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> block = good;
        std::vector<Chunk> chunks = chunks_of(block);
        const Chunk* target = nullptr;
        for (const Chunk& chunk : chunks) {
            if (chunk.type == damage.chunk && (target == nullptr || damage.last_idat)) {
                target = &chunk;
            }
        }
        ASSERT_NE(target, nullptr);
        size_t data = target->offset + 8;
        size_t at = damage.in_crc ? data + target->length : (damage.last_idat ? data + target->length - 1 : data);
        block[at] ^= 0x80;
        if (!damage.in_crc) {
            fix_crcs(block);
        }
        expect_refused(block, std::string(damage.chunk) + (damage.in_crc ? " crc" : " data") +
                                  (damage.last_idat ? " last" : ""));
    }
    expect_next_load_works();
}

TEST_F(DamagedPng, RandomBytesAreRefused) {
    std::mt19937 random(7);
    for (int size : {1, 7, 8, 64, 4096}) {
        std::vector<uint8_t> block(size);
        for (uint8_t& byte : block) {
            byte = (uint8_t)random();
        }
        expect_refused(block, "random " + std::to_string(size));
        // With the PNG signature in front, the header parser gets them.
        const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::copy(signature, signature + std::min(size, 8), block.begin());
        expect_refused(block, "signed random " + std::to_string(size));
    }
    expect_refused({}, "empty");
    expect_next_load_works();
}

TEST_F(DamagedPng, MutatedPicturesNeverCrashOrHang) {
    std::mt19937 random(20240607);
    const char* seeds[] = {"c6_d8_adam7_33x7", "c3_d4_trns_33x7", "c0_d16_trns_adam7_33x7", "c2_d8_33x7"};
    int loaded = 0;
    for (int round = 0; round < 4000; round++) {
        std::vector<uint8_t> block = picture_case(seeds[round % 4]).png;
        int changes = 1 + random() % 8;
        for (int i = 0; i < changes; i++) {
            block[8 + random() % (block.size() - 8)] = (uint8_t)random();
        }
        if (round % 2 == 0) {
            fix_crcs(block);   // so the damage reaches the header and zlib
        }
        if (round % 7 == 0) {
            block.resize(random() % block.size());
        }
        int64_t native = image_from_memory(4, block.data(), (int32_t)block.size());
        ASSERT_EQ(native != 0, image_lookup(4) != nullptr) << "round " << round;
        loaded += native != 0;
    }
    image_release(4);
    EXPECT_GT(loaded, 0);
    expect_next_load_works();
}

TEST_F(DamagedPng, AChunkIsNeverAllocatedBeyondTheBlockNorInflatedWithoutBound) {
    // The fuzz run's worst case: a text chunk's length byte 0x00 -> 0x7f
    // (about 2.1 GB declared) once allocated and zeroed that length. A chunk
    // of honest length that inflates to 16 MB (twice libpng's own limit) must
    // cost nothing either.
    struct Case {
        const char* type;
        bool damaged_length;
    };
    const Case cases[] = {
        {"iTXt", true}, {"zTXt", true}, {"tEXt", true}, {"iCCP", true}, {"prVt", true}, {"IDAT", true},
        {"zTXt", false}, {"iTXt", false}, {"iCCP", false},
    };
    const PictureCase& grey = picture_case("c0_d8_33x7");
    const size_t bound = 256 * 1024;   // the 64 KiB IDAT buffer, zlib's window, the rows
    for (const Case& test : cases) {
        std::string what = std::string(test.type) + (test.damaged_length ? " damaged length" : " inflating");
        std::vector<uint8_t> block = grey.png;
        size_t inflated = test.damaged_length ? 16 : 16 << 20;
        size_t at = with_chunk(block, test.type, keyword_and_zeros(test.type, inflated));
        block[at] = test.damaged_length ? 0x7f : block[at];
        g_largest_request = 0;
        g_counting = true;
        int64_t native = image_from_memory(3, block.data(), (int32_t)block.size());
        g_counting = false;
        EXPECT_LE(g_largest_request, bound) << what;
        if (test.damaged_length) {
            EXPECT_EQ(native, 0) << what;
            EXPECT_EQ(image_lookup(3), nullptr) << what;
        } else {
            ASSERT_NE(native, 0) << what;
            EXPECT_TRUE(dib_bytes((HANDLE)native) == grey.dib) << what;
        }
        image_release(3);
    }
    expect_next_load_works();
}

}  // namespace
