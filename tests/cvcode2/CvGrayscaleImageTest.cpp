#include <gtest/gtest.h>

#include <memory>

#include "ImageTestSupport.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGrayscaleImage.h"
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

TEST(CvGrayscaleImage, ToBitmapOfFlatImages) {
    CvGrayscaleImage image(13, 7);
    for (auto [value, black] : {std::pair<uint8_t, uint32_t>{0, 13 * 7}, {255, 0}}) {
        Fill(image, value);
        EXPECT_EQ(BlackCount(*std::unique_ptr<CvBitmapImage>(image.ToBitmap())), black) << int(value);
    }
    Fill(image, 128);
    std::unique_ptr<CvBitmapImage> grey(image.ToBitmap());
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
