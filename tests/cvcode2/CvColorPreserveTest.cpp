#include "cvcode2/CvColorPreserve.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvRGBImage.h"

namespace {
const uint8_t kBase[5][3] = {{10, 20, 30}, {200, 100, 50}, {0, 128, 255}, {77, 77, 77}, {250, 10, 10}};

// One row holding counts[i] pixels of base colour i, then one pixel near colour 0 but not equal to it.
std::unique_ptr<CvRGBImage> RowOf(const std::vector<uint32_t>& counts) {
    uint32_t width = 1;
    for (uint32_t c : counts) width += c;
    auto image = std::make_unique<CvRGBImage>(width, 1);
    CvPixelLock lock(*image);
    uint8_t* p = lock.Pixels();
    for (size_t i = 0; i < counts.size(); ++i)
        for (uint32_t k = 0; k < counts[i]; ++k, p += 3) std::copy(kBase[i], kBase[i] + 3, p);
    p[0] = 11, p[1] = 20, p[2] = 30;
    return image;
}
}  // namespace

TEST(CvColorPreserve, KeepsTheMostFrequentExactColoursMarksThemAndTakesThemOutOfTheHistogram) {
    CvColorTable base(5);
    for (uint32_t i = 0; i < 5; ++i) base.SetEntry(i, kBase[i][0], kBase[i][1], kBase[i][2]);
    auto owned = RowOf({10, 3, 7, 3, 9});
    CvRGBImage& image = *owned;
    CvColorPreserve preserve;
    preserve.SetBaseColors(base, 4);
    preserve.CheckBaseColors(image);
    EXPECT_EQ(preserve.FoundCount(), 5u);
    EXPECT_EQ(preserve.FoundPixels(), 32u);  // the near pixel is not exact

    preserve.SelectFound(4);  // the first of the two 3s goes
    CvColorTable kept(4);
    for (uint32_t i = 0, k = 0; i < 5; ++i)
        if (i != 1) kept.SetEntry(k++, kBase[i][0], kBase[i][1], kBase[i][2]);
    EXPECT_EQ(preserve.FoundColors(), kept);

    std::vector<uint32_t> histogram(kCellCount);
    {
        CvPixelLock lock(image);
        BuildHistogram(lock.Pixels(), image.RowBytes(), image.GetWidth(), 1, 0, 1, 2, 3, histogram.data());
    }
    preserve.SubtractFound(histogram.data());
    EXPECT_EQ(histogram[ColorIndex15(10, 20, 30)], 1u);     // only the near pixel is left in that cell
    EXPECT_EQ(histogram[ColorIndex15(200, 100, 50)], 3u);  // the dropped colour stays
    EXPECT_EQ(CountColors(histogram.data()), 2u);

    preserve.CreateMask(image);
    const CvBitmapImage* mask = preserve.Mask();
    ASSERT_NE(mask, nullptr);
    for (uint32_t x = 0; x < image.GetWidth(); ++x) {
        const bool expected = x < 10 || (x >= 13 && x < 32);
        EXPECT_EQ(!mask->IsWhite(x, 0), expected) << x;  // a set bit is black with the default polarity
    }
}
