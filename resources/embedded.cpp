// The embedded blocks live as RCDATA resources of the executable, so each is
// one read-only block of exactly the embedded file's length.
#include <windows.h>
#include "resources/embedded.h"
#include "resources/resource_ids.h"

static EmbeddedBlock embedded_block(int id) {
    EmbeddedBlock block = {nullptr, 0};
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!found) {
        return block;
    }
    DWORD size = SizeofResource(nullptr, found);
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0 || size > 0x7fffffff) {
        return block;
    }
    block.data = static_cast<const uint8_t*>(data);
    block.size = static_cast<int32_t>(size);
    return block;
}

EmbeddedBlock embedded_product() {
    return embedded_block(EMBEDDED_PRODUCT);
}

EmbeddedBlock embedded_background() {
    return embedded_block(EMBEDDED_BACKGROUND);
}
