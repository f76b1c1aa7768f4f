// Writing strings, lines and raw blocks in the file's encoding.
#include <wchar.h>
#include "files/files.h"
#include "files/file_object.h"
#include "runtime/runtime.h"

static int64_t write_converted(FileObject* file, const wchar_t* text, UINT code_page) {
    int size = WideCharToMultiByte(code_page, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return 0;
    }
    char* block = static_cast<char*>(heap_alloc_raw(static_cast<int64_t>(size) + 1));
    if (block == nullptr) {
        return 0;
    }
    int converted = WideCharToMultiByte(code_page, 0, text, -1, block, size, nullptr, nullptr);
    int64_t written = 0;
    if (converted > 0) {
        written = file_buffered_write(file, block, converted - 1);
    }
    heap_free(block);
    return written;
}

static int64_t write_text(FileObject* file, const wchar_t* text, int32_t encoding) {
    if (text == nullptr || text[0] == 0) {
        return 0;
    }
    if (encoding == ENCODING_UTF16) {
        int64_t length = static_cast<int64_t>(wcslen(text));
        return file_buffered_write(file, text, length * 2);
    }
    return write_converted(file, text, encoding == ENCODING_UTF8 ? CP_UTF8 : CP_ACP);
}

int64_t file_write_string_encoded(int64_t id, const wchar_t* text, int32_t encoding) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        return 0;
    }
    return write_text(file, text, encoding);
}

int64_t file_write_string(int64_t id, const wchar_t* text) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        return 0;
    }
    return write_text(file, text, file->encoding);
}

int64_t file_write_line_encoded(int64_t id, const wchar_t* text, int32_t encoding) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        return 0;
    }
    int64_t written = write_text(file, text, encoding);
    return written + write_text(file, L"\r\n", encoding);
}

int64_t file_write_line(int64_t id, const wchar_t* text) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        return 0;
    }
    return file_write_line_encoded(id, text, file->encoding);
}

// A negative length is refused like 0: as an unsigned count it would read
// far past the caller's block.
int64_t file_write_data(int64_t id, const void* address, int32_t length) {
    FileObject* file = file_lookup(id);
    if (file == nullptr || address == nullptr || length <= 0) {
        return 0;
    }
    return file_buffered_write(file, address, length);
}
