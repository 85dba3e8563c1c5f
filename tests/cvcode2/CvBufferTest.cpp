#include <gtest/gtest.h>

#include "cvcode2/CvBuffer.h"
#include "cvcode2/CvErrorCode.h"
#include "tests/support/ErrorOf.h"

namespace {
// Counts what reaches the class, to check that nested locks stay in the base.
class CountingBuffer : public CvBuffer {
public:
    int locks = 0, unlocks = 0;

protected:
    uint8_t* DoLock() override {
        ++locks;
        return CvBuffer::DoLock();
    }
    void DoUnlock() override {
        ++unlocks;
        CvBuffer::DoUnlock();
    }
};
}  // namespace

TEST(CvBuffer, OnlyOutermostLockAndUnlockReachTheClass) {
    CountingBuffer buffer;
    uint8_t* memory = buffer.Allocate(16);
    EXPECT_EQ(buffer.Lock(), memory);
    EXPECT_EQ(buffer.Lock(), memory);
    EXPECT_EQ(buffer.Lock(), memory);
    buffer.Unlock();
    buffer.Unlock();
    EXPECT_EQ(buffer.unlocks, 0);
    buffer.Unlock();
    EXPECT_EQ(buffer.locks, 1);
    EXPECT_EQ(buffer.unlocks, 1);
    EXPECT_EQ(buffer.LockCount(), 0);
    buffer.Free();
}

TEST(CvBuffer, LockWithoutMemoryIsAnInvalidState) {
    CvBuffer buffer;
    EXPECT_EQ(ErrorOf([&] { buffer.Lock(); }), 27u);
}

TEST(CvBuffer, ScopedLockUnlocksOnEveryWayOut) {
    CvBuffer buffer;
    buffer.Allocate(4);
    try {
        CvBufferLock lock(buffer);
        lock.Data()[0] = 1;
        throw CvErrorCode(21, "test", 1);
    } catch (const CvErrorCode&) {
    }
    EXPECT_EQ(buffer.LockCount(), 0);
    buffer.Free();
}
