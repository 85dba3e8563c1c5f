#include <gtest/gtest.h>

#include <vector>

#include "cvcode2/Cv15BitHist.h"

TEST(ColorIndex15, LevelsRoundAndSaturate) {
    EXPECT_EQ(ColorIndex15(244, 244, 244), 32767);
    EXPECT_EQ(ColorIndex15(243, 0, 0), 30 << 10);
    EXPECT_EQ(ColorIndex15(4, 0, 0), 1024);
    EXPECT_EQ(ColorIndex15(0, 11, 12), 1 << 5 | 2);
    uint8_t rgb[3];
    CellColor(16 << 10 | 31 << 5, rgb);
    EXPECT_EQ(rgb[0], 132);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 0);
}

// Two rows of BGRX pixels with 3 padding bytes per row: offsets and row bytes both matter.
TEST(BuildHistogram, CountsThroughOffsetsAndRowBytes) {
    const uint8_t pixels[] = {200, 150, 100, 9, 0, 0, 255, 9, 99, 99, 99,   // (100,150,200), (255,0,0)
                              200, 150, 100, 9, 0, 0, 0,   9, 99, 99, 99};  // (100,150,200), black
    std::vector<uint32_t> histogram(kCellCount, 77);
    BuildHistogram(pixels, 11, 2, 2, 2, 1, 0, 4, histogram.data());
    EXPECT_EQ(CountColors(histogram.data()), 3u);
    EXPECT_EQ(histogram[ColorIndex15(100, 150, 200)], 2u);
    EXPECT_EQ(histogram[31 << 10], 1u);
    EXPECT_EQ(histogram[0], 1u);

    CvColorTable colors = HistogramColors(histogram.data());
    ASSERT_EQ(colors.GetCount(), 3u);
    // Ascending cell order, each the cell's colour rather than the pixel's.
    const uint8_t expected[] = {0, 0, 0, 107, 156, 206, 255, 0, 0};
    for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(colors.Entries()[i], expected[i]) << i;
}

TEST(FoldNearBlack, MovesTheEightNearBlackCellsIntoBlack) {
    const uint8_t pixels[] = {8, 8, 8, 8, 8, 8, 0, 0, 0, 11, 0, 11, 12, 0, 0};
    std::vector<uint32_t> histogram(kCellCount);
    BuildHistogram(pixels, 15, 5, 1, 0, 1, 2, 3, histogram.data());
    FoldNearBlack(histogram.data());
    EXPECT_EQ(histogram[0], 4u);
    for (uint32_t cell : {1u, 32u, 33u, 1024u, 1025u, 1056u, 1057u}) EXPECT_EQ(histogram[cell], 0u) << cell;
    EXPECT_EQ(histogram[2 << 10], 1u);
    EXPECT_EQ(CountColors(histogram.data()), 2u);
}
