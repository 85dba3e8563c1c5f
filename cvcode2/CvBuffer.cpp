// Lock counting for every buffer and the movable-memory implementation of CvBuffer.
// CvBuffer memory stays locked from allocation to release, so the data pointer never moves.
#include "CvBuffer.h"

#include <new>

#include "CvErrorCode.h"
#include "CvLog.h"

CvBaseBuffer* CvBaseBuffer::NewBuffer() const {
    CV_THROW(kCvErrNotSupported);
}

uint8_t* CvBaseBuffer::Allocate(uint32_t newSize) {
    CV_ASSERT(!allocated);
    uint8_t* pointer = DoAllocate(newSize);
    size = newSize;
    allocated = true;
    return pointer;
}

void CvBaseBuffer::Free() {
    CV_ASSERT(allocated && lockCount == 0);
    allocated = false;
    DoFree();
    size = 0;
}

uint8_t* CvBaseBuffer::Lock() {
    if (lockCount == 0) lockedPointer = DoLock();
    ++lockCount;
    return lockedPointer;
}

void CvBaseBuffer::Unlock() {
    CV_ASSERT(lockCount > 0);
    if (lockCount == 0) return;
    if (lockCount == 1) DoUnlock();
    --lockCount;
}

CvBuffer::~CvBuffer() {
    // Owners free first; this only guards against a leak when an owner's constructor failed half way.
    if (handle) {
        Platform::UnlockMem(handle);
        Platform::FreeMem(handle);
    }
}

CvBaseBuffer* CvBuffer::NewBuffer() const {
    CvBuffer* buffer = CvAllocated(new (std::nothrow) CvBuffer);
    return buffer;
}

uint8_t* CvBuffer::DoLock() {
    if (!handle || !data) CV_THROW(kCvErrBadArgument);
    return data;
}

void CvBuffer::DoUnlock() {
    if (!handle) CV_THROW(kCvErrBadArgument);
}

uint8_t* CvBuffer::DoAllocate(uint32_t requested) {
    handle = Platform::AllocMovable(requested ? requested : 1);
    if (!handle) CV_THROW(kCvErrNoMemory);
    data = static_cast<uint8_t*>(Platform::LockMem(handle));
    if (!data) {
        Platform::FreeMem(handle);
        handle = nullptr;
        CV_THROW(kCvErrNoMemory);
    }
    return data;
}

void CvBuffer::DoFree() {
    if (!handle) CV_THROW(kCvErrBadArgument);
    Platform::UnlockMem(handle);
    Platform::FreeMem(handle);
    handle = nullptr;
    data = nullptr;
}
