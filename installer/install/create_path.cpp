// create_path: normalises base and relative part, splits off a drive, and
// creates the missing folders one segment at a time.
#include "installer/install/create_path.h"
#include <windows.h>
#include "files/filesystem.h"
#include "installer/text.h"
#include "runtime/lists.h"
#include "runtime/strings.h"

// Makes `path` end with a backslash when it is longer than one character.
static void end_with_backslash(wchar_t** path) {
    if (string_length(*path) > 1 && text_last(*path) != L'\\') {
        text_assign(path, *path, L"\\");
    }
}

static void normalise_relative(wchar_t** r) {
    int64_t saved = temp_position();
    string_trim_left(*r, L"\\", saved);
    string_assign_temp(r, saved);
    end_with_backslash(r);
    saved = temp_position();
    string_replace(*r, L"\\\\\\", L"\\", saved);
    string_assign_temp(r, saved);
    saved = temp_position();
    string_replace(*r, L"\\\\", L"\\", saved);
    string_assign_temp(r, saved);
}

// A relative part of five characters or more that starts with "X:\" is a
// full path when no base is given.
static void split_drive(wchar_t** b, wchar_t** r) {
    if (string_length(*b) != 0 || string_length(*r) <= 4) {
        return;
    }
    {
        TempScope middle;
        string_mid(*r, 2, 2, middle.start);
        if (!string_equal(middle.text(), L":\\")) {
            return;
        }
    }
    int64_t saved = temp_position();
    string_left(*r, 3, saved);
    string_assign_temp(b, saved);
    saved = temp_position();
    string_right(*r, string_length(*r) - 3, saved);
    string_assign_temp(r, saved);
}

static void split_segments(const wchar_t* r, LinkedList* segments) {
    if (text_last(r) != L'\\' || string_length(r) <= 1) {
        return;
    }
    int64_t position = 1;
    int64_t k;
    while ((k = string_find_from(r, L"\\", position)) != 0) {
        wchar_t** element = (wchar_t**)list_add(segments);
        int64_t saved = temp_position();
        string_mid(r, position, k - position + 1, saved);
        string_assign_temp(element, saved);
        position = k + 1;
    }
}

// Creates each missing segment below `path`; false when one fails. Every
// folder made is recorded in `created`.
static bool create_segments(wchar_t** path, LinkedList* segments, LinkedList* created) {
    list_reset(segments);
    wchar_t** segment;
    while ((segment = (wchar_t**)list_next(segments)) != nullptr) {
        text_assign(path, *path, *segment);
        if (path_size(*path) == -2) {
            continue;
        }
        if (directory_create(*path) == 0 || path_size(*path) != -2) {
            return false;
        }
        wchar_t** record = (wchar_t**)list_add(created);
        string_assign(record, *path);
    }
    return true;
}

// Removes the created folders, the deepest first, and only while they are
// empty: whatever another process put into one in the meantime stays, and
// nothing is deleted through a link swapped in for a folder.
static void roll_back(LinkedList* created) {
    for (int64_t i = list_size(created) - 1; i >= 0; i--) {
        wchar_t** folder = (wchar_t**)list_select(created, i);
        RemoveDirectoryW(*folder);
    }
}

int64_t create_path(const wchar_t* base, const wchar_t* relative) {
    wchar_t* b = nullptr;
    wchar_t* r = nullptr;
    wchar_t* path = nullptr;
    string_init(&b, base);
    string_init(&r, relative);
    end_with_backslash(&b);
    normalise_relative(&r);
    split_drive(&b, &r);
    LinkedList* segments = list_create(sizeof(wchar_t*), nullptr, STRING_ELEMENT, 0);
    LinkedList* created = list_create(sizeof(wchar_t*), nullptr, STRING_ELEMENT, 0);
    split_segments(r, segments);
    string_assign(&path, b);
    int64_t result = -1;
    if (path_size(path) != -2) {
        result = 0;
    } else if (!create_segments(&path, segments, created)) {
        roll_back(created);
        result = 0;
    } else if (list_size(created) > 0) {
        result = list_size(created);
    }
    list_free(segments);
    list_free(created);
    string_free(b);
    string_free(r);
    string_free(path);
    return result;
}
