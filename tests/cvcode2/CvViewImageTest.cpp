#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvProgImage.h"
#include "cvcode2/CvTransImage.h"

namespace {
using RGB = std::array<uint8_t, 3>;
const RGB kGrey{208, 208, 208}, kBlue{128, 128, 255}, kWhite{255, 255, 255};

RGB Checker(uint32_t x, uint32_t y) {
    return ((x % 16) < 8) == ((y % 16) < 8) ? kGrey : kBlue;
}
}  // namespace

TEST(CvTransImage, MaskChoosesBetweenImageAndCheckerboard) {
    const unsigned failedBefore = CvFailedCheckCount();
    CvRGBImage image(40, 20);
    Paint(image);
    CvBitmapImage mask(40, 20);  // all black: only the checkerboard shows
    CvTransImage shown;
    shown.Set(&image, &mask);
    shown.SetBlockSize(7, 3);  // tiles that do not line up with the 8 x 8 squares
    // A request starting at (28, 5) begins at pattern pixel (12, 5), light blue; one at (20, 5) at (4, 5), grey.
    EXPECT_EQ(PixelOf(shown, 28, 5), kBlue);
    EXPECT_EQ(PixelOf(shown, 20, 5), kGrey);
    std::vector<uint8_t> all = ReadRGB(shown);
    for (uint32_t y = 0; y < 20; ++y)
        for (uint32_t x = 0; x < 40; ++x) {
            const uint8_t* p = all.data() + (y * 40 + x) * 3;
            ASSERT_EQ((RGB{p[0], p[1], p[2]}), Checker(x, y)) << x << "," << y;
        }
    mask.SetFillColor(1);
    mask.Clear();
    EXPECT_EQ(ReadRGB(shown), ReadRGB(image));
    // Half-transparent grey mask: the image blended halfway over the checkerboard.
    CvGrayscaleImage soft(40, 20, 128);
    soft.Clear();
    shown.SetMask(&soft);
    const RGB p = PixelOf(shown, 30, 2);
    const RGB source = Expected(30, 2);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(p[c], (kBlue[c] * 127 + 128 * source[c] + 127) / 255);
    EXPECT_EQ(CvFailedCheckCount(), failedBefore);
    EXPECT_THROW(shown.Clone(), CvErrorCode);
    EXPECT_THROW(shown.FlipVertical(), CvErrorCode);
}

TEST(CvProgImage, ReadyLineSplitsSourceFromPlaceholder) {
    const unsigned failedBefore = CvFailedCheckCount();
    CvRGBImage image(5, 6);
    Paint(image);
    CvProgImage progress(&image);
    for (uint8_t v : ReadRGB(progress)) ASSERT_EQ(v, 255);
    progress.SetRowsReady(6);
    EXPECT_EQ(ReadRGB(progress), ReadRGB(image));
    // Rows 2..4 requested with the line at 3: rows 2 from the source, 3 and 4 placeholder, into a padded buffer.
    progress.SetRowsReady(3);
    progress.SetPlaceholder(1, 2, 3);
    std::vector<uint8_t> out(4 * 16, 0xEE);
    progress.GetRGB(1, 2, 5, 4, 1, 1, 16, 4, 0, 1, 2, out.data());
    for (uint32_t row = 0; row < 3; ++row)
        for (uint32_t i = 0; i < 3; ++i) {
            const uint8_t* p = out.data() + (1 + row) * 16 + (1 + i) * 4;
            EXPECT_EQ((RGB{p[0], p[1], p[2]}), row == 0 ? Expected(1 + i, 2) : (RGB{1, 2, 3})) << row << i;
        }
    EXPECT_EQ(out[0], 0xEE);
    EXPECT_EQ(out[16 + 3], 0xEE);
    EXPECT_EQ(CvFailedCheckCount(), failedBefore);
}
