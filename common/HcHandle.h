// The plug-in's own handles: a master block (data pointer, then the tag "OTOF") over a data block,
// both movable, zero-filled and locked for their whole life. The last handle error is kept module-wide.
#pragma once

#include <cstddef>
#include <cstdint>

struct HcMasterBlock {
    void* data;
    char tag[4];
};

// A new handle with a zero-filled data block of `size` bytes, or null (last error -108).
HcMasterBlock* HcNewHandle(size_t size);
// Releases both blocks; a null handle only sets the last error to -109.
void HcDisposeHandle(HcMasterBlock* handle);
int16_t HcLastHandleError();
