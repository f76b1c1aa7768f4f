// String storage, the temporary string buffer and the string operations.
//
// All text is UTF-16 and NUL-terminated; a null pointer is the empty string.
// Positions are 1-based, lengths count UTF-16 units. An operation that
// returns text writes it at an output position (`out`, a byte offset into
// the temporary buffer) and leaves the write position just behind it. The
// source of an operation may lie in the buffer at or after `out`.
#pragma once
#include <stdint.h>

// --- String engine -------------------------------------------------------
wchar_t* temp_reserve(int32_t count, int64_t at);
// temp_reserve for counts computed in 64 bits (lengths of whole texts).
wchar_t* temp_reserve_units(int64_t count, int64_t at);
void temp_append(const wchar_t* s);
void temp_give_back(int32_t count);
int64_t temp_position();
void temp_set_position(int64_t position);
wchar_t* temp_address(int64_t position);
// Calling protocol step 2: finish an argument built from `saved`, step past
// its terminator and return its address (valid until the buffer grows).
const wchar_t* temp_argument(int64_t saved);

// The temporary text of one function: remembers the write position where
// it begins and restores it when it leaves scope, so whatever was built in
// it is given back on every return path. Addresses into the buffer stay
// valid only until the next call that may grow it: keep `start` (an
// offset) across such calls and take `text()` afresh after them.
struct TempScope {
    const int64_t start;
    TempScope() : start(temp_position()) {}
    ~TempScope() { temp_set_position(start); }
    TempScope(const TempScope&) = delete;
    TempScope& operator=(const TempScope&) = delete;
    wchar_t* text() const { return temp_address(start); }
};

// Byte offset of p in the temporary buffer, or -1 when p lies outside it.
int64_t temp_offset_of(const void* p);
// Writes `count` units of s from 0-based index `first` at `out`, terminated,
// and leaves the position behind them. s may lie in the buffer at or after
// out: its offset is kept across a growth of the buffer.
void temp_write_slice(const wchar_t* s, int64_t first, int64_t count, int64_t out);

void string_assign_temp(wchar_t** variable, int64_t saved);
void string_assign(wchar_t** variable, const wchar_t* s);
void string_init(wchar_t** variable, const wchar_t* s);
void string_free(wchar_t* block);
int string_equal(const wchar_t* a, const wchar_t* b);
int string_less(const wchar_t* a, const wchar_t* b);

// --- String operations ---------------------------------------------------
int64_t string_length(const wchar_t* s);
void string_lower(const wchar_t* s, int64_t out);
int64_t string_find(const wchar_t* s, const wchar_t* pattern);
int64_t string_find_from(const wchar_t* s, const wchar_t* pattern, int64_t start);
void string_left(const wchar_t* s, int64_t n, int64_t out);
void string_right(const wchar_t* s, int64_t n, int64_t out);
void string_mid(const wchar_t* s, int64_t start, int64_t n, int64_t out);
void string_trim(const wchar_t* s, int64_t out);                         // spaces
void string_trim_char(const wchar_t* s, const wchar_t* c, int64_t out);  // both ends
void string_trim_left(const wchar_t* s, const wchar_t* c, int64_t out);
void string_replace(const wchar_t* s, const wchar_t* find, const wchar_t* replacement,
                    int64_t out);
enum : int32_t { REPLACE_NO_CASE = 1, REPLACE_IN_PLACE = 2 };
void string_replace_ex(const wchar_t* s, const wchar_t* find, const wchar_t* replacement,
                       int32_t flags, int64_t start, int64_t max_count, int64_t out);
void string_spaces(int64_t n, int64_t out);
int64_t string_to_integer(const wchar_t* s);
void string_from_integer(int64_t v, int64_t out);
// Conversions used by the file library; `bytes` is NUL-terminated.
void string_from_utf8(const char* bytes, int64_t out);
void string_from_ansi(const char* bytes, int64_t out);
