// String storage: the string heap, the temporary string buffer and the
// engine that builds strings in it and hands them to variables.
#include <string.h>
#include "runtime/libraries.h"
#include "runtime/runtime.h"
#include "runtime/strings.h"

// Every string block keeps this many bytes beyond its text and terminator
// so that copies two units at a time never run off the end.
static const int64_t BLOCK_SLACK = 10;
// Growth of the temporary buffer beyond what a reservation needs.
static const int64_t TEMP_GROWTH = 16384;
// Largest text the engine handles; keeps every size computation in range.
static const int64_t MAX_UNITS = INT64_C(1) << 40;

// The string heap cannot give more room: nothing could be built safely
// any more, and writing on would corrupt memory, so the process ends.
[[noreturn]] static void out_of_string_memory() {
    ExitProcess(ERROR_NOT_ENOUGH_MEMORY);
}

static int64_t text_units(const wchar_t* s) {
    return s ? static_cast<int64_t>(wcslen(s)) : 0;
}

void string_library_start() {
    g_runtime.string_heap = HeapCreate(0, 4096, 0);
    g_runtime.temp.buffer = static_cast<char*>(HeapAlloc(g_runtime.string_heap, 0, 16));
    g_runtime.temp.capacity = 16;
    g_runtime.temp.position = 0;
}

void string_library_end() {
    HeapFree(g_runtime.string_heap, 0, g_runtime.temp.buffer);
    HeapDestroy(g_runtime.string_heap);
    g_runtime.string_heap = nullptr;
    g_runtime.temp.buffer = nullptr;
}

wchar_t* temp_reserve_units(int64_t count, int64_t at) {
    TempStringBuffer* temp = &g_runtime.temp;
    if (count < 0) {
        count = 0;
    }
    if (count > MAX_UNITS || at < 0 || at > MAX_UNITS) {
        out_of_string_memory();
    }
    int64_t end = at + 2 * count;
    if (end >= temp->capacity - 4) {
        int64_t capacity = end + TEMP_GROWTH;
        void* grown = HeapReAlloc(g_runtime.string_heap, 0, temp->buffer,
                                  static_cast<SIZE_T>(capacity + BLOCK_SLACK));
        if (!grown) {
            out_of_string_memory();
        }
        temp->buffer = static_cast<char*>(grown);
        temp->capacity = capacity;
    }
    temp->position = end;
    return reinterpret_cast<wchar_t*>(temp->buffer + at);
}

wchar_t* temp_reserve(int32_t count, int64_t at) {
    return temp_reserve_units(count, at);
}

// s may be text built earlier in the buffer: the slice copy keeps its
// offset across the growth that making room for it may cause.
void temp_append(const wchar_t* s) {
    temp_write_slice(s, 0, text_units(s), g_runtime.temp.position);
}

void temp_give_back(int32_t count) {
    int64_t position = g_runtime.temp.position - 2 * static_cast<int64_t>(count);
    g_runtime.temp.position = position < 0 ? 0 : position;
}

int64_t temp_position() {
    return g_runtime.temp.position;
}

void temp_set_position(int64_t position) {
    g_runtime.temp.position = position;
}

wchar_t* temp_address(int64_t position) {
    return reinterpret_cast<wchar_t*>(g_runtime.temp.buffer + position);
}

const wchar_t* temp_argument(int64_t saved) {
    int64_t end = g_runtime.temp.position;
    // The built text ends here; make sure of its terminator, then step past
    // it so the called operation builds behind the argument.
    *temp_address(end) = 0;
    temp_reserve_units(1, end);
    return temp_address(saved);
}

int64_t temp_offset_of(const void* p) {
    const char* at = static_cast<const char*>(p);
    const char* start = g_runtime.temp.buffer;
    if (!at || at < start || at >= start + g_runtime.temp.capacity + BLOCK_SLACK) {
        return -1;
    }
    return at - start;
}

void temp_write_slice(const wchar_t* s, int64_t first, int64_t count, int64_t out) {
    int64_t source = temp_offset_of(s);
    wchar_t* target = temp_reserve_units(count, out);
    const wchar_t* from = source >= 0 ? temp_address(source) : s;
    if (count > 0) {
        memmove(target, from + first, static_cast<size_t>(count) * 2);
    }
    target[count] = 0;
}

void string_assign_temp(wchar_t** variable, int64_t saved) {
    int64_t bytes = g_runtime.temp.position - saved;
    if (bytes < 0) {
        bytes = 0;
    }
    SIZE_T size = static_cast<SIZE_T>(bytes + BLOCK_SLACK);
    void* block = *variable
        ? HeapReAlloc(g_runtime.string_heap, 0, *variable, size)
        : HeapAlloc(g_runtime.string_heap, 0, size);
    if (!block) {
        out_of_string_memory();
    }
    wchar_t* text = static_cast<wchar_t*>(block);
    memcpy(text, temp_address(saved), static_cast<size_t>(bytes));
    text[bytes / 2] = 0;
    *variable = text;
    g_runtime.temp.position = saved;
}

// A fresh block holding a copy of s, with `extra` units of room behind it.
static wchar_t* copy_to_block(const wchar_t* s, int64_t units, int64_t extra_bytes) {
    SIZE_T size = static_cast<SIZE_T>(2 * units + extra_bytes);
    wchar_t* block = static_cast<wchar_t*>(HeapAlloc(g_runtime.string_heap, 0, size));
    if (!block) {
        out_of_string_memory();
    }
    memcpy(block, s, static_cast<size_t>(units) * 2);
    block[units] = 0;
    return block;
}

void string_assign(wchar_t** variable, const wchar_t* s) {
    if (!s) {
        string_free(*variable);
        *variable = nullptr;
        return;
    }
    // A new block first, the old one freed after the copy: s may be the
    // variable's own text or a part of it.
    wchar_t* block = copy_to_block(s, text_units(s), BLOCK_SLACK);
    string_free(*variable);
    *variable = block;
}

void string_init(wchar_t** variable, const wchar_t* s) {
    if (!s) {
        return;
    }
    *variable = copy_to_block(s, text_units(s), BLOCK_SLACK);
}

void string_free(wchar_t* block) {
    if (block) {
        HeapFree(g_runtime.string_heap, 0, block);
    }
}

// Compares as unsigned 16-bit code units, with null read as empty.
static int compare_units(const wchar_t* a, const wchar_t* b) {
    const wchar_t* x = a ? a : L"";
    const wchar_t* y = b ? b : L"";
    while (*x && *x == *y) {
        x++;
        y++;
    }
    uint16_t ux = static_cast<uint16_t>(*x);
    uint16_t uy = static_cast<uint16_t>(*y);
    return (ux > uy) - (ux < uy);
}

int string_equal(const wchar_t* a, const wchar_t* b) {
    return compare_units(a, b) == 0;
}

int string_less(const wchar_t* a, const wchar_t* b) {
    return compare_units(a, b) < 0;
}
