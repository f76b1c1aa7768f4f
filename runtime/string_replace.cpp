// Replacing every occurrence of one text by another.
#include <string.h>
#include <wchar.h>
#include "runtime/runtime.h"
#include "runtime/strings.h"

// The three texts of a replacement, private copies where the caller's text
// lies in the temporary buffer (the result may be longer than s and would
// overwrite it).
struct ReplaceTexts {
    const wchar_t* text[3];
    wchar_t* copy[3];
    int64_t length[3];
};

static int take_text(ReplaceTexts* texts, int i, const wchar_t* s) {
    int64_t length = string_length(s);
    texts->copy[i] = nullptr;
    texts->text[i] = s ? s : L"";
    texts->length[i] = length;
    if (temp_offset_of(s) < 0) {
        return 1;
    }
    wchar_t* copy = static_cast<wchar_t*>(heap_alloc_raw(2 * (length + 1)));
    if (!copy) {
        return 0;
    }
    memcpy(copy, s, static_cast<size_t>(length + 1) * 2);
    texts->copy[i] = copy;
    texts->text[i] = copy;
    return 1;
}

static void free_texts(ReplaceTexts* texts) {
    for (wchar_t* copy : texts->copy) {
        heap_free(copy);
    }
}

static int occurs_at(const ReplaceTexts* t, int64_t at, int32_t flags) {
    const wchar_t* s = t->text[0] + at;
    const wchar_t* find = t->text[1];
    size_t n = static_cast<size_t>(t->length[1]);
    if (flags & REPLACE_NO_CASE) {
        return _wcsnicmp(s, find, n) == 0;
    }
    return s[0] == find[0] && wcsncmp(s, find, n) == 0;
}

// Occurrences from index `first` on, without overlap, at most `limit`
// (all when limit is negative).
static int64_t count_occurrences(const ReplaceTexts* t, int64_t first, int64_t limit, int32_t flags) {
    int64_t count = 0;
    int64_t at = first;
    while (at + t->length[1] <= t->length[0] && (limit < 0 || count < limit)) {
        if (occurs_at(t, at, flags)) {
            count++;
            at += t->length[1];
        } else {
            at++;
        }
    }
    return count;
}

static void write_replaced(const ReplaceTexts* t, int64_t first, int64_t count, int32_t flags,
                           int64_t out) {
    int64_t size = t->length[0] + count * (t->length[2] - t->length[1]);
    wchar_t* target = temp_reserve_units(size, out);
    int64_t at = 0;
    while (at < t->length[0]) {
        if (at >= first && count > 0 && occurs_at(t, at, flags)) {
            wmemcpy(target, t->text[2], static_cast<size_t>(t->length[2]));
            target += t->length[2];
            at += t->length[1];
            count--;
        } else {
            *target++ = t->text[0][at++];
        }
    }
    *target = 0;
}

// The in-place flag asks for the replacement inside s when find and
// replacement have the same length; s is the caller's text, so the result
// is written at `out` like every other result and s stays as it was.
void string_replace_ex(const wchar_t* s, const wchar_t* find, const wchar_t* replacement,
                       int32_t flags, int64_t start, int64_t max_count, int64_t out) {
    ReplaceTexts texts;
    int taken = take_text(&texts, 0, s);
    taken = take_text(&texts, 1, find) && taken;
    taken = take_text(&texts, 2, replacement) && taken;
    int64_t first = start < 1 ? 0 : start - 1;
    int64_t count = 0;
    if (taken && texts.length[1] > 0) {
        count = count_occurrences(&texts, first, max_count, flags);
    }
    if (!taken) {
        // No room for the private copies: the result is s unchanged.
        temp_write_slice(s, 0, string_length(s), out);
    } else {
        write_replaced(&texts, first, count, flags, out);
    }
    free_texts(&texts);
}

void string_replace(const wchar_t* s, const wchar_t* find, const wchar_t* replacement,
                    int64_t out) {
    string_replace_ex(s, find, replacement, 0, 1, -1, out);
}
