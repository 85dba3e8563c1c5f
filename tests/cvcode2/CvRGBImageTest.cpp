#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

#include "ImageTestSupport.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvImgFmtInfo.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvRGBImage.h"
#include "tests/support/ErrorOf.h"

namespace {
using RGB = std::array<uint8_t, 3>;

class TagInfo : public CvImgFmtFrameInfo {
public:
    void GetFormatName(char* buffer) const override { buffer[0] = 0; }
    CvImgFmtFrameInfo* Clone() const override { return new TagInfo; }
};

}  // namespace

TEST(CvRGBImage, GetRGBHonoursPositionStrideAndChannelOffsets) {
    const unsigned failedBefore = CvFailedCheckCount();
    CvRGBImage image(4, 3);
    Paint(image);
    // Rectangle (1, 1)-(3, 3) into a BGRX buffer at (1, 2) with 24 bytes per row.
    std::vector<uint8_t> out(24 * 5, 0xEE);
    image.GetRGB(1, 1, 3, 3, 1, 2, 24, 4, 2, 1, 0, out.data());
    for (uint32_t y = 1; y < 3; ++y)
        for (uint32_t x = 1; x < 3; ++x) {
            const uint8_t* p = out.data() + (2 + y - 1) * 24 + (1 + x - 1) * 4;
            EXPECT_EQ((RGB{p[2], p[1], p[0]}), Expected(x, y));
            EXPECT_EQ(p[3], 0xEE);  // the fourth byte is not touched
        }
    EXPECT_EQ(out[0], 0xEE);
    EXPECT_EQ(out[2 * 24 + 0], 0xEE);
    EXPECT_EQ(CvFailedCheckCount(), failedBefore);
}

TEST(CvRGBImage, CloneCopyRectAndFlipsKeepPixelsInPlace) {
    CvRGBImage image(5, 3);
    Paint(image);
    image.SetFormatInfo(new TagInfo);
    image.SetFillColor(1, 2, 3);
    std::unique_ptr<CvImage> clone(image.Clone());
    std::unique_ptr<CvImage> copy(image.CopyRect(CvRect{0, 0, 3, 5}));
    EXPECT_EQ(ReadRGB(*clone), ReadRGB(image));
    EXPECT_EQ(ReadRGB(*copy), ReadRGB(image));
    EXPECT_NE(copy->GetFormatInfo(), nullptr);
    EXPECT_EQ(static_cast<CvRGBImage&>(*clone).FillColor()[2], 3);

    std::unique_ptr<CvImage> mirrored(image.FlipHorizontal());
    std::unique_ptr<CvImage> upside(image.FlipVertical());
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(PixelOf(*mirrored, x, y), Expected(4 - x, y));
            EXPECT_EQ(PixelOf(*upside, x, y), Expected(x, 2 - y));
        }
}

TEST(CvRGBImage, QuarterTurnsFollowTheAngle) {
    CvRGBImage image(3, 2);
    Paint(image);
    const float quarter = 1.5707964f;
    std::unique_ptr<CvImage> left(image.Rotate(quarter));  // one counter-clockwise turn
    std::unique_ptr<CvImage> right(image.Rotate(-quarter));
    ASSERT_EQ(std::make_pair(left->GetWidth(), left->GetHeight()), std::make_pair(2u, 3u));
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 2; ++x) {
            EXPECT_EQ(PixelOf(*left, x, y), Expected(2 - y, x));
            EXPECT_EQ(PixelOf(*right, x, y), Expected(y, 1 - x));
        }
    std::unique_ptr<CvImage> half(image.Rotate(3.1415927f));
    EXPECT_EQ(PixelOf(*half, 0, 0), Expected(2, 1));
    std::unique_ptr<CvImage> none(image.Rotate90(0.0f));
    EXPECT_EQ(ReadRGB(*none), ReadRGB(image));
    image.LockPixels();
    EXPECT_EQ(ErrorOf([&] { delete image.Rotate90(quarter); }), 21u);
    image.UnlockPixels();
}

TEST(CvRGBImage, ArbitraryRotationGrowsAndFills) {
    CvRGBImage image(20, 10);
    image.SetFillColor(50, 60, 70);
    image.Clear();
    std::unique_ptr<CvImage> turned(image.Rotate(0.5f, 0x070809u));
    ASSERT_NE(dynamic_cast<CvRGBImage*>(turned.get()), nullptr);
    // The bounding box of the turned 20 x 10 rectangle: 22.35 x 18.36, rounded up.
    EXPECT_EQ(std::make_pair(turned->GetWidth(), turned->GetHeight()), std::make_pair(23u, 19u));
    EXPECT_EQ(PixelOf(*turned, turned->GetWidth() / 2, turned->GetHeight() / 2), (RGB{50, 60, 70}));
    EXPECT_EQ(PixelOf(*turned, 0, 0), (RGB{9, 8, 7}));  // a corner no source pixel reaches
    std::unique_ptr<CvImage> nothing(CvRGBImage(0, 5).Rotate(0.5f));
    EXPECT_EQ(nothing->GetWidth() + nothing->GetHeight(), 0u);
}

TEST(CvRGBImage, MaskedTransfersTileByTheBlockSize) {
    CvRGBImage image(7, 5);
    Paint(image);
    CvBitmapImage mask(7, 5);
    mask.SetFillColor(1);
    mask.Clear();  // all white: everything passes
    std::vector<uint8_t> whole(7 * 5 * 3), tiled(7 * 5 * 3);
    image.SetBlockSize(0xFFFFFFFF, 0xFFFFFFFF);
    image.GetRGBMasked(&mask, 0, 0, 5, 7, 0, 0, 21, 3, 0, 1, 2, whole.data());
    image.SetBlockSize(3, 2);
    image.GetRGBMasked(&mask, 0, 0, 5, 7, 0, 0, 21, 3, 0, 1, 2, tiled.data());
    EXPECT_EQ(whole, ReadRGB(image));
    EXPECT_EQ(tiled, whole);
    CvBitmapImage small(2, 2);
    EXPECT_EQ(ErrorOf([&] { image.GetRGBMasked(nullptr, 0, 0, 1, 1, 0, 0, 3, 3, 0, 1, 2, whole.data()); }), 27u);
    EXPECT_EQ(ErrorOf([&] { image.GetRGBMasked(&small, 0, 0, 1, 1, 0, 0, 3, 3, 0, 1, 2, whole.data()); }), 21u);
}

TEST(CvRGBImage, GreyMaskBlendsByItsWeight) {
    CvRGBImage image(3, 1);
    image.SetFillColor(255, 255, 255);
    image.Clear();
    CvGrayscaleImage mask(3, 1);
    std::memcpy(CvPixelLock(mask).Pixels(), "\x00\x80\xFF", 3);
    std::vector<uint8_t> out(9, 0);
    image.GetRGBMasked(&mask, 0, 0, 1, 3, 0, 0, 9, 3, 0, 1, 2, out.data());
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 128, 128, 128, 255, 255, 255}));
    CvRGBImage notAMask(3, 1);
    EXPECT_EQ(ErrorOf([&] { image.GetRGBMasked(&notAMask, 0, 0, 1, 3, 0, 0, 9, 3, 0, 1, 2, out.data()); }), 37u);
}

TEST(CvRGBImage, BlendsAtOpacityZeroHalfAndOne) {
    CvRGBImage white(3, 1);
    white.SetFillColor(255, 255, 255);
    white.Clear();
    for (auto [opacity, expected] : {std::pair<float, uint8_t>{0.0f, 0}, {0.5f, 128}, {1.0f, 255}}) {
        std::vector<uint8_t> out(9, 0);
        white.GetRGBBlended(opacity, 0, 0, 1, 3, 0, 0, 9, 3, 0, 1, 2, out.data());
        for (uint8_t v : out) EXPECT_EQ(v, expected) << opacity;
    }
    // Toward a darker source, and through a mask that only lets the middle pixel through.
    CvRGBImage dark(3, 1);
    CvBitmapImage mask(3, 1);
    CvPixelLock(mask).Pixels()[0] = 0xA0;  // pixels 0 and 2 black (polarity 1)
    std::vector<uint8_t> out(9, 200);
    dark.GetRGBBlended(0.5f, &mask, 0, 0, 1, 3, 0, 0, 9, 3, 0, 1, 2, out.data());
    EXPECT_EQ(out, (std::vector<uint8_t>{200, 200, 200, 100, 100, 100, 200, 200, 200}));
    EXPECT_EQ(ErrorOf([&] { white.BlendRGB(1.0f, 0, 0, 1, 1, 0, 0, 3, 3, 0, 1, 2, nullptr, 3, out.data()); }), 27u);
}
