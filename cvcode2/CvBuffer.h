// Lockable memory blocks: CvBaseBuffer counts nested locks, CvBuffer keeps its pixels in movable system memory.
// Only the first Lock and the last Unlock reach the class; the locked pointer is valid while the count is above 0.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

class CvBaseBuffer {
public:
    CvBaseBuffer() = default;
    CvBaseBuffer(const CvBaseBuffer&) = delete;
    CvBaseBuffer& operator=(const CvBaseBuffer&) = delete;
    virtual ~CvBaseBuffer() = default;

    // A new, empty buffer of the same class, owned by the caller.
    virtual CvBaseBuffer* NewBuffer() const;

    uint8_t* Allocate(uint32_t size);
    void Free();
    uint8_t* Lock();
    void Unlock();
    bool IsAllocated() const { return allocated; }
    uint32_t GetSize() const { return size; }
    uint16_t LockCount() const { return lockCount; }

protected:
    virtual uint8_t* DoLock() = 0;
    virtual void DoUnlock() = 0;
    virtual uint8_t* DoAllocate(uint32_t size) = 0;
    virtual void DoFree() = 0;

private:
    uint16_t lockCount = 0;
    uint8_t* lockedPointer = nullptr;
    uint32_t size = 0;
    bool allocated = false;
};

class CvBuffer : public CvBaseBuffer {
public:
    CvBuffer() = default;
    ~CvBuffer() override;
    CvBaseBuffer* NewBuffer() const override;

protected:
    uint8_t* DoLock() override;
    void DoUnlock() override;
    uint8_t* DoAllocate(uint32_t size) override;
    void DoFree() override;

private:
    uint8_t* data = nullptr;
    Platform::MemHandle handle = nullptr;
};

// Holds a buffer lock for a scope, so every way out unlocks.
class CvBufferLock {
public:
    explicit CvBufferLock(CvBaseBuffer& buffer) : buffer_(buffer), data_(buffer.Lock()) {}
    ~CvBufferLock() { buffer_.Unlock(); }
    CvBufferLock(const CvBufferLock&) = delete;
    CvBufferLock& operator=(const CvBufferLock&) = delete;
    uint8_t* Data() const { return data_; }

private:
    CvBaseBuffer& buffer_;
    uint8_t* data_;
};
