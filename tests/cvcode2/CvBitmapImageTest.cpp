#include <gtest/gtest.h>

#include <memory>

#include "ImageTestSupport.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvIndexedImage.h"

namespace {
using RGB = std::array<uint8_t, 3>;
// Bits of an 11 x 2 mask: a pattern with no symmetry.
void Pattern(CvBitmapImage& mask) {
    CvPixelLock lock(mask);
    lock.Row(0)[0] = 0xB3;
    lock.Row(0)[1] = 0x40;
    lock.Row(1)[0] = 0x1E;
    lock.Row(1)[1] = 0xA0;
}
}  // namespace

TEST(CvBitmapImage, EveryDestinationLayoutMasksAlike) {
    CvBitmapImage mask(11, 2);
    Pattern(mask);
    // Source tile for the rectangle (3, 0)-(11, 2): pixel i, row j = (i, j, 100 + i).
    std::vector<uint8_t> src;
    for (uint8_t j = 0; j < 2; ++j)
        for (uint8_t i = 0; i < 8; ++i) src.insert(src.end(), {i, j, uint8_t(100 + i)});
    struct Layout {
        uint16_t bytes, r, g, b;
    };
    for (uint8_t polarity : {0, 1})
        for (Layout l : {Layout{3, 0, 1, 2}, Layout{4, 1, 2, 3}, Layout{4, 2, 1, 0}, Layout{5, 4, 2, 0}}) {
            mask.SetPolarity(polarity);
            std::vector<uint8_t> out(size_t(l.bytes) * 8 * 2, 0xEE);
            mask.MaskRGB(3, 0, 2, 11, 0, 0, l.bytes * 8, l.bytes, l.r, l.g, l.b, out.data(), 24, src.data());
            for (uint32_t j = 0; j < 2; ++j)
                for (uint32_t i = 0; i < 8; ++i) {
                    const uint8_t* p = out.data() + (j * 8 + i) * l.bytes;
                    const RGB expected =
                        mask.IsWhite(3 + i, j) ? RGB{uint8_t(i), uint8_t(j), uint8_t(100 + i)} : RGB{0xEE, 0xEE, 0xEE};
                    EXPECT_EQ((RGB{p[l.r], p[l.g], p[l.b]}), expected);
                }
        }
}

TEST(CvBitmapImage, ToIndexedLooksTheSame) {
    CvBitmapImage mask(11, 2);
    Pattern(mask);
    for (uint8_t polarity : {1, 0}) {
        mask.SetPolarity(polarity);
        std::unique_ptr<CvIndexedImage> indexed(mask.ToIndexed());
        ASSERT_EQ(indexed->colorTable.GetCount(), 2u);
        EXPECT_EQ(indexed->colorTable.Entry(polarity)[0], 0);
        EXPECT_EQ(indexed->colorTable.Entry(1 - polarity)[0], 255);
        EXPECT_EQ(ReadRGB(*indexed), ReadRGB(mask));
        CvPixelLock lock(*indexed);
        EXPECT_EQ(lock.Row(0)[0], 1);  // the index is the raw bit
        EXPECT_EQ(lock.Row(0)[1], 0);
    }
}

TEST(CvBitmapImage, WholeMaskBytesPassOrBlockEightPixels) {
    CvBitmapImage mask(24, 1);
    {
        CvPixelLock lock(mask);
        lock.Pixels()[0] = 0xFF;  // black
        lock.Pixels()[1] = 0x00;  // white
        lock.Pixels()[2] = 0xA5;
    }
    std::vector<uint8_t> src(24 * 3), out(24 * 4, 0);
    for (uint32_t i = 0; i < 24 * 3; ++i) src[i] = uint8_t(i + 1);
    mask.MaskRGB(0, 0, 1, 24, 0, 0, 96, 4, 1, 2, 3, out.data(), 72, src.data());
    for (uint32_t x = 0; x < 24; ++x) {
        const bool white = mask.IsWhite(x, 0);
        EXPECT_EQ(out[x * 4 + 1], white ? src[x * 3] : 0) << x;
        EXPECT_EQ(out[x * 4 + 3], white ? src[x * 3 + 2] : 0) << x;
    }
    std::vector<uint8_t> blended(24 * 3, 0);
    mask.BlendRGBMasked(1.0f, 0, 0, 1, 24, 0, 0, 72, 3, 0, 1, 2, blended.data(), 72, src.data());
    for (uint32_t x = 0; x < 24; ++x) EXPECT_EQ(blended[x * 3 + 1], mask.IsWhite(x, 0) ? src[x * 3 + 1] : 0) << x;
}
