// Allocation and release of the plug-in's two-level handles through the platform's movable memory.
// Every operation sets the last handle error: 0, -108 when memory runs out, -109 for a null handle.
#include "common/HcHandle.h"

#include "hostapi/FilterHost.h"
#include "platform/Platform.h"

namespace {
int16_t gLastHandleError = 0;

void* AllocLocked(size_t size) {
    Platform::MemHandle block = Platform::AllocMovable(size);
    if (!block) return nullptr;
    void* pointer = Platform::LockMem(block);
    if (!pointer) Platform::FreeMem(block);
    return pointer;
}

void FreeLocked(void* pointer) {
    Platform::MemHandle block = Platform::MemHandleFromPointer(pointer);
    Platform::UnlockMem(block);
    Platform::FreeMem(block);
}
}  // namespace

HcMasterBlock* HcNewHandle(size_t size) {
    gLastHandleError = 0;
    auto* master = static_cast<HcMasterBlock*>(AllocLocked(sizeof(HcMasterBlock)));
    void* data = master ? AllocLocked(size) : nullptr;
    if (!data) {
        if (master) FreeLocked(master);
        gLastHandleError = memFullErr;
        return nullptr;
    }
    master->data = data;
    master->tag[0] = 'O';
    master->tag[1] = 'T';
    master->tag[2] = 'O';
    master->tag[3] = 'F';
    return master;
}

void HcDisposeHandle(HcMasterBlock* handle) {
    gLastHandleError = 0;
    if (!handle) {
        gLastHandleError = nilHandleErr;
        return;
    }
    FreeLocked(handle->data);
    FreeLocked(handle);
}

int16_t HcLastHandleError() {
    return gLastHandleError;
}
