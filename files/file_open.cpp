// File objects in the registry: opening in the three modes, closing, and
// the file library's start and end steps.
#include "files/files.h"
#include "files/file_object.h"
#include "files/link_safe.h"
#include "runtime/libraries.h"
#include "runtime/runtime.h"

ObjectTable* g_file_table;

static const DWORD ACCESS_READ = 0x80000000;
static const DWORD ACCESS_WRITE = 0x40000000;
static const DWORD ACCESS_READ_WRITE = 0xC0000000;

void file_library_start() {
    g_file_table = registry_create_kind(sizeof(FileObject), 16, file_close);
}

void file_library_end() {
    registry_release_all(g_file_table);
}

FileObject* file_lookup(int64_t id) {
    return static_cast<FileObject*>(registry_lookup(g_file_table, id));
}

static DWORD share_mode(int32_t flags) {
    if (flags & FILE_FLAG_SHARE_ALL) {
        return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    }
    if (flags & FILE_FLAG_SHARE_READ) {
        return FILE_SHARE_READ;
    }
    return 0;
}

// Windows refuses to open a read-only file for writing; Wine running as
// root does not (the attribute is only a missing permission bit there), so
// the attribute is checked here as well and the file is never emptied.
static bool is_read_only_file(const wchar_t* name) {
    DWORD attributes = GetFileAttributesW(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static HANDLE open_handle(const wchar_t* name, int32_t mode, int32_t flags) {
    DWORD share = share_mode(flags);
    if (mode == FILE_MODE_READ && (flags & FILE_FLAG_NO_LINK)) {
        return handle_open_no_link(name, ACCESS_READ, share);
    }
    if (mode == FILE_MODE_CREATE_NEW) {
        return handle_create_new(name, ACCESS_READ_WRITE, share);
    }
    if (mode == FILE_MODE_READ) {
        return CreateFileW(name, ACCESS_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (is_read_only_file(name)) {
        return INVALID_HANDLE_VALUE;
    }
    if (mode == FILE_MODE_READ_WRITE) {
        return CreateFileW(name, ACCESS_READ_WRITE, share, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    HANDLE handle = CreateFileW(name, ACCESS_READ_WRITE, share, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        return handle;
    }
    // A file that may be written but not read (write-only rights) is still
    // emptied and opened.
    return CreateFileW(name, ACCESS_WRITE, share, nullptr, TRUNCATE_EXISTING, 0, nullptr);
}

static void setup_record(FileObject* file, HANDLE handle, int32_t mode, int32_t flags) {
    file->handle = handle;
    file->buffer_size = FILE_BUFFER_SIZE;
    file->state = FILE_STATE_READ;
    file->encoding = flags & FILE_FLAG_ENCODING_MASK;
    file->read_only = mode == FILE_MODE_READ ? 1 : 0;
    if ((flags & FILE_FLAG_NO_BUFFER) == 0) {
        // Without a buffer the file still works, one system call per transfer.
        file->buffer = static_cast<uint8_t*>(heap_alloc_raw(FILE_BUFFER_SIZE));
    }
    if (mode == FILE_MODE_READ_WRITE && (flags & FILE_FLAG_AT_END)) {
        LARGE_INTEGER zero = {};
        SetFilePointerEx(handle, zero, nullptr, FILE_END);
    }
}

int64_t file_open_general(int64_t id, const wchar_t* name, int32_t mode, int32_t flags) {
    FileObject* file = static_cast<FileObject*>(registry_allocate(g_file_table, id));
    if (file == nullptr) {
        return 0;
    }
    HANDLE handle = open_handle(name, mode, flags);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        DWORD error = GetLastError();
        registry_release(g_file_table, id == ANY_ID ? reinterpret_cast<int64_t>(file) : id);
        SetLastError(error);
        return 0;
    }
    setup_record(file, handle, mode, flags);
    if (id == ANY_ID) {
        return reinterpret_cast<int64_t>(file);
    }
    return reinterpret_cast<int64_t>(handle);
}

int64_t file_create(int64_t id, const wchar_t* name) {
    return file_open_general(id, name, FILE_MODE_CREATE, ENCODING_UTF8);
}

int64_t file_open(int64_t id, const wchar_t* name) {
    return file_open_general(id, name, FILE_MODE_READ_WRITE, ENCODING_UTF8);
}

int64_t file_open_read(int64_t id, const wchar_t* name) {
    return file_open_general(id, name, FILE_MODE_READ, ENCODING_UTF8);
}

int64_t file_create_new(int64_t id, const wchar_t* name) {
    return file_open_general(id, name, FILE_MODE_CREATE_NEW, ENCODING_UTF8);
}

int64_t file_open_read_no_link(int64_t id, const wchar_t* name) {
    return file_open_general(id, name, FILE_MODE_READ,
                             static_cast<int32_t>(ENCODING_UTF8) | FILE_FLAG_NO_LINK);
}

int64_t file_flush(int64_t id) {
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        return 0;
    }
    return file_flush_buffer(file) ? 1 : 0;
}

void file_close(int64_t id) {
    if (id == ANY_ID) {
        registry_release_all(g_file_table);
        return;
    }
    FileObject* file = file_lookup(id);
    if (file == nullptr) {
        return;
    }
    file_flush_buffer(file);
    heap_free(file->buffer);
    file->buffer = nullptr;
    CloseHandle(file->handle);
    registry_release(g_file_table, id);
}
