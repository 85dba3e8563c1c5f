#include <gtest/gtest.h>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvColorPreserve.h"
#include "tests/cvcode2/ImageTestSupport.h"

TEST(CvColorPreserve, KeepsTheMostFrequentExactColoursMarksThemAndTakesThemOutOfTheHistogram) {
    const std::vector<RgbTriple> base = {{10, 20, 30}, {200, 100, 50}, {0, 128, 255}, {77, 77, 77}, {250, 10, 10}};
    const uint32_t counts[5] = {10, 3, 7, 3, 9};
    std::vector<RgbTriple> pixels;
    for (uint32_t i = 0; i < 5; ++i) pixels.insert(pixels.end(), counts[i], base[i]);
    pixels.push_back({11, 20, 30});  // in the cell of the first base colour, but not equal to it
    auto image = RgbRow(pixels);

    CvColorPreserve preserve;
    preserve.SetBaseColors(PaletteOf(base), 4);
    preserve.CheckBaseColors(*image);
    EXPECT_EQ(preserve.FoundPixels(), 32u);
    preserve.SelectFound(4);  // the first of the two 3s goes
    EXPECT_EQ(preserve.FoundColors(), PaletteOf({base[0], base[2], base[3], base[4]}));

    std::vector<uint32_t> histogram(kCellCount);
    {
        CvPixelLock lock(*image);
        BuildHistogram(lock.Pixels(), image->RowBytes(), image->GetWidth(), 1, 0, 1, 2, 3, histogram.data());
    }
    preserve.SubtractFound(histogram.data());
    EXPECT_EQ(histogram[ColorIndex15(10, 20, 30)], 1u);    // only the near pixel is left in that cell
    EXPECT_EQ(histogram[ColorIndex15(200, 100, 50)], 3u);  // the dropped colour stays
    EXPECT_EQ(CountColors(histogram.data()), 2u);

    preserve.CreateMask(*image);
    for (uint32_t x = 0; x < image->GetWidth(); ++x)  // a set bit reads black with the default polarity
        EXPECT_EQ(!preserve.Mask()->IsWhite(x, 0), x < 10 || (x >= 13 && x < 32)) << x;
}
