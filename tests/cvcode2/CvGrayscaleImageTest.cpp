#include "cvcode2/CvGrayscaleImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ImageTestSupport.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"
#include "tests/support/ErrorOf.h"

namespace {
using RGB = std::array<uint8_t, 3>;

void Fill(CvGrayscaleImage& image, uint8_t value) {
    image.SetFillValue(value);
    image.Clear();
}

uint32_t BlackCount(const CvBitmapImage& bitmap) {
    uint32_t black = 0;
    for (uint32_t y = 0; y < bitmap.GetHeight(); ++y)
        for (uint32_t x = 0; x < bitmap.GetWidth(); ++x) black += bitmap.IsWhite(x, y) ? 0 : 1;
    return black;
}
}  // namespace

TEST(CvGrayscaleImage, BlackValueDecidesHowSamplesRead) {
    CvGrayscaleImage image(2, 1, 0, 255);
    image.LockPixels()[1] = 200;
    image.UnlockPixels();
    EXPECT_EQ(PixelOf(image, 0, 0), (RGB{255, 255, 255}));
    EXPECT_EQ(PixelOf(image, 1, 0), (RGB{55, 55, 55}));
    image.SetBlackValue(0);
    EXPECT_EQ(PixelOf(image, 1, 0), (RGB{200, 200, 200}));
    image.SetBlackValue(7);
    EXPECT_EQ(ErrorOf([&] { PixelOf(image, 0, 0); }), 38u);
}

TEST(CvGrayscaleImage, CopiesAndPastesRespectTheBlackValue) {
    CvGrayscaleImage inverted(3, 2, 9, 255);
    Fill(inverted, 40);
    std::unique_ptr<CvImage> clone(inverted.Clone());
    EXPECT_EQ(static_cast<CvGrayscaleImage&>(*clone).BlackValue(), 255);
    EXPECT_EQ(ReadRGB(*clone), ReadRGB(inverted));
    std::unique_ptr<CvImage> part(inverted.CopyRect(CvRect{0, 0, 2, 2}));
    EXPECT_EQ(static_cast<CvGrayscaleImage&>(*part).BlackValue(), 0);  // a new image starts with black 0
    EXPECT_EQ(PixelOf(*part, 0, 0), (RGB{40, 40, 40}));
    CvGrayscaleImage plain(3, 2);
    const CvPoint origin{0, 0};
    EXPECT_EQ(ErrorOf([&] { plain.Paste(&origin, &inverted); }), 21u);
}

TEST(CvGrayscaleImage, ToBitmapOfFlatImages) {
    CvGrayscaleImage image(13, 7);
    for (auto [value, black] : {std::pair<uint8_t, uint32_t>{0, 13 * 7}, {255, 0}}) {
        Fill(image, value);
        EXPECT_EQ(BlackCount(*std::unique_ptr<CvBitmapImage>(image.ToBitmap())), black) << int(value);
    }
    Fill(image, 128);
    std::unique_ptr<CvBitmapImage> grey(image.ToBitmap());
    const uint32_t dark = BlackCount(*grey);
    EXPECT_GE(dark, 13u * 7u / 2 - 5);
    EXPECT_LE(dark, 13u * 7u / 2 + 5);
    // Hand-computed first row: errors -127, 79, -99 give white, black, white, black.
    CvPixelLock bits(*grey);
    EXPECT_EQ(bits.Row(0)[0] & 0xF0, 0x50);
}

TEST(CvGrayscaleImage, BoundingRectGrowsFromTheCentre) {
    // Left, top, bottom, right of the box around one marked pixel (none: an empty box).
    const std::pair<int, std::array<uint32_t, 4>> cases[] = {{-1, {}}, {0, {0, 0, 5, 5}}, {99, {5, 5, 10, 10}}};
    for (const auto& [marked, expected] : cases) {
        CvGrayscaleImage image(10, 10);
        if (marked >= 0) CvPixelLock(image).Pixels()[marked] = 3;
        CvRect box{1, 1, 1, 1};
        image.BoundingRect(&box, 0);
        EXPECT_EQ((std::array<uint32_t, 4>{box.left, box.top, box.bottom, box.right}), expected) << marked;
    }
}

TEST(CvGrayscaleImage, QuarterTurnAndResizeKeepTheScale) {
    CvGrayscaleImage image(3, 1, 4, 255);
    std::memcpy(CvPixelLock(image).Pixels(), "\x0A\x14\x1E", 3);
    std::unique_ptr<CvImage> turned(image.Rotate(1.5707964f));
    ASSERT_EQ(turned->GetHeight(), 3u);
    EXPECT_EQ(PixelOf(*turned, 0, 0), (RGB{225, 225, 225}));  // the right end comes to the top
    EXPECT_EQ(static_cast<CvGrayscaleImage&>(*turned).BlackValue(), 255);
    std::unique_ptr<CvImage> wide(image.Resize(6, 1));
    EXPECT_EQ(PixelOf(*wide, 5, 0), (RGB{225, 225, 225}));
    EXPECT_EQ(static_cast<CvGrayscaleImage&>(*wide).FillValue(), 4);
}
