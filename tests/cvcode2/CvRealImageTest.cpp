#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "cvcode2/CvBuffer.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvRealImage.h"
#include "tests/support/ErrorOf.h"

namespace {
bool Bit(const CvRealImage& image, uint32_t x, uint32_t y) {
    CvPixelLock lock(image);
    return (lock.Row(y)[x / 8] & (0x80 >> (x % 8))) != 0;
}

void SetBit(CvRealImage& image, uint32_t x, uint32_t y) {
    CvPixelLock lock(image);
    lock.Row(y)[x / 8] |= uint8_t(0x80 >> (x % 8));
}

// A buffer whose new memory is not zero, as a caller's may be.
class ScribbledBuffer : public CvBuffer {
protected:
    uint8_t* DoAllocate(uint32_t size) override {
        uint8_t* pixels = CvBuffer::DoAllocate(size);
        std::fill_n(pixels, size, uint8_t(0xAB));
        return pixels;
    }
};

bool AllZero(const CvRealImage& image) {
    CvPixelLock lock(image);
    const uint8_t* p = lock.Pixels();
    return std::all_of(p, p + image.Buffer()->GetSize(), [](uint8_t b) { return b == 0; });
}
}  // namespace

// A cleared image reads zero: on a buffer of its own (memory that comes zero-filled, also where an earlier image
// was scribbled and freed) and on a caller's buffer, which is cleared.
TEST(CvRealImage, ClearedImagesReadZeroOnAnyBuffer) {
    for (int round = 0; round < 2; ++round) {
        auto own = std::make_unique<CvRealImage>(300, 200, 8, 3, nullptr, nullptr, 0, true);
        EXPECT_TRUE(AllZero(*own)) << "round " << round;
        CvPixelLock lock(*own);
        std::fill_n(lock.Pixels(), own->Buffer()->GetSize(), uint8_t(0x5A));
    }
    CvRealImage given(300, 200, 8, 3, nullptr, new ScribbledBuffer, 0, true);
    EXPECT_TRUE(AllZero(given));
}

TEST(CvRealImage, SizesNoBufferCanHoldAreRefused) {
    // A row longer than 32 bits can count, and a block whose rows x height pass 4 GiB.
    EXPECT_EQ(ErrorOf([] { CvRealImage(0x60000000u, 1, 8, 3, nullptr, nullptr, 0, false); }), 21u);
    EXPECT_EQ(ErrorOf([] { CvRealImage(100000, 100000, 8, 1, nullptr, nullptr, 0, false); }), 2u);
    EXPECT_EQ(ErrorOf([] { CvRealImage(0xFFFFFFFFu, 64, 1, 1, nullptr, nullptr, 0, false); }), 2u);
    if (sizeof(void*) == 4) {
        // Representable in 32 bits but more than a 32-bit process can hold: out of memory, not a crash.
        EXPECT_EQ(ErrorOf([] { CvRealImage(40000, 30000, 8, 3, nullptr, nullptr, 0, false); }), 2u);
    }
    CvRealImage image(4, 4, 8, 3, nullptr, nullptr, 0, true);
    EXPECT_EQ(ErrorOf([&] { image.SetSize(70000, 70000); }), 2u);
    EXPECT_EQ(image.Buffer()->GetSize(), 48u);  // the old pixels stay
}

TEST(CvRealImage, OneBitCopyRectAndPasteAtOddAlignments) {
    const unsigned failedBefore = CvFailedCheckCount();
    CvRealImage source(21, 3, 1, 1, nullptr, nullptr, 0, true);
    for (uint32_t x = 0; x < 21; x += 3) SetBit(source, x, 1);
    SetBit(source, 20, 2);
    std::unique_ptr<CvImage> part(source.CopyRect(CvRect{5, 1, 3, 18}));
    auto& cut = static_cast<CvRealImage&>(*part);
    ASSERT_EQ(cut.GetWidth(), 13u);
    ASSERT_EQ(cut.GetHeight(), 2u);
    for (uint32_t x = 0; x < 13; ++x) EXPECT_EQ(Bit(cut, x, 0), (x + 5) % 3 == 0) << x;
    for (uint32_t x = 0; x < 13; ++x) EXPECT_FALSE(Bit(cut, x, 1));
    CvRealImage target(30, 4, 1, 1, nullptr, nullptr, 0, true);
    {
        CvPixelLock lock(target);
        for (uint32_t i = 0; i < target.RowBytes() * 4; ++i) lock.Pixels()[i] = 0xFF;
    }
    const CvPoint at{7, 1};
    target.Paste(&at, &cut);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 30; ++x) {
            const bool inside = x >= 7 && x < 20 && y >= 1 && y < 3;
            const bool expected = inside ? (y == 1 && (x - 7 + 5) % 3 == 0) : true;
            EXPECT_EQ(Bit(target, x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(CvFailedCheckCount(), failedBefore);
}

TEST(CvRealImage, RectanglesOutsideTheImageAreCheckedAndClipped) {
    const unsigned failedBefore = CvFailedCheckCount();
    CvRealImage image(4, 4, 8, 1, nullptr, nullptr, 0, true);
    std::unique_ptr<CvImage> copy(image.CopyRect(CvRect{2, 2, 9, 9}));
    EXPECT_EQ(std::make_pair(copy->GetWidth(), copy->GetHeight()), std::make_pair(2u, 2u));
    CvRealImage big(6, 6, 8, 1, nullptr, nullptr, 0, true);
    const CvPoint at{1, 1};
    image.Paste(&at, &big);  // does not fit: only the 3 x 3 that does is copied
    CvRealImage other(2, 2, 8, 3, nullptr, nullptr, 0, true);
    image.Paste(&at, &other);  // another format: refused
#if !defined(NDEBUG)
    EXPECT_EQ(CvFailedCheckCount(), failedBefore + 3);
#else
    (void)failedBefore;
#endif
}

TEST(CvRealImage, DefaultRowBytesPackRowsWithoutPadding) {
    const struct { uint32_t width, depth, channels, rowBytes; } cases[] = {{9, 1, 1, 2}, {5, 8, 3, 15}, {5, 16, 3, 30}};
    for (auto c : cases)
        EXPECT_EQ(CvRealImage(c.width, 1, c.depth, c.channels, nullptr, nullptr, 0, false).RowBytes(), c.rowBytes);
}

TEST(CvRealImage, SetSizeKeepsPixelsOnlyForTheSameSize) {
    CvRealImage image(3, 2, 8, 1, nullptr, nullptr, 0, true);
    image.LockPixels()[5] = 77;
    image.UnlockPixels();
    image.SetSize(3, 2);
    EXPECT_EQ(image.LockPixels()[5], 77);
    image.UnlockPixels();
    image.SetSize(4, 2);
    EXPECT_EQ(image.Buffer()->GetSize(), 8u);
    // A locked image is not resized under its holder.
    image.LockPixels();
    EXPECT_THROW(image.SetSize(1, 1), CvErrorCode);
    image.UnlockPixels();
}
