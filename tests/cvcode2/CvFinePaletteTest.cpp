// The fine palette's stages: exact colours, the fine histogram, the error-minimising cut and the k-means passes.
// Hand-computed weighted means; a stage that rounds or reorders differently shows at once.
#include <gtest/gtest.h>

#include <vector>

#include "cvcode2/CvExactColors.h"
#include "cvcode2/CvFineHist.h"
#include "cvcode2/CvKMeansRefine.h"
#include "cvcode2/CvVarianceCut.h"
#include "tests/support/ImageTestSupport.h"

namespace {
std::vector<uint8_t> Bytes(const std::vector<RgbTriple>& pixels) {
    std::vector<uint8_t> bytes;
    for (const RgbTriple& p : pixels) bytes.insert(bytes.end(), p.begin(), p.end());
    return bytes;
}

void ExpectColor(const CvWeightedColor& c, float r, float g, float b, uint32_t count) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_EQ(c.count, count);
}
}  // namespace

TEST(FindExactColors, GivesTheColoursInOrderOfFirstAppearanceOrNothingPastTheLimit) {
    // Two rows of two pixels, read as BGR with a padding byte after each pixel and a padded row.
    const std::vector<uint8_t> pixels = {3, 2, 1, 0, 9, 9, 9, 0, 0, 0,  //
                                         9, 9, 9, 0, 6, 5, 4, 0, 0, 0};
    CvColorTable colors;
    ASSERT_TRUE(FindExactColors(pixels.data(), 10, 2, 2, 2, 1, 0, 4, 3, colors));
    EXPECT_EQ(colors, PaletteOf({{1, 2, 3}, {9, 9, 9}, {4, 5, 6}}));
    CvColorTable untouched = PaletteOf({{7, 7, 7}});
    EXPECT_FALSE(FindExactColors(pixels.data(), 10, 2, 2, 2, 1, 0, 4, 2, untouched));
    EXPECT_EQ(untouched, PaletteOf({{7, 7, 7}}));
}

TEST(CvFineHist, CellsKeepTheExactMeanOfTheirPixelsAndGiveThemBack) {
    // The first two colours share a 4 × 4 × 4 cell; white is alone in the last one.
    const std::vector<uint8_t> pixels = Bytes({{100, 150, 200}, {101, 150, 203}, {100, 150, 200}, {255, 255, 255}});
    CvFineHist histogram;
    histogram.Add(pixels.data(), 12, 4, 1, 0, 1, 2, 3);
    std::vector<CvWeightedColor> colors = histogram.Colors();
    ASSERT_EQ(colors.size(), 2u);
    ExpectColor(colors[0], 100 + 1 / 3.0f, 150, 201, 3);
    ExpectColor(colors[1], 255, 255, 255, 1);
    const uint8_t taken[3] = {101, 150, 203};
    histogram.Subtract(taken, 1);
    ExpectColor(histogram.Colors()[0], 100, 150, 200, 2);
}

TEST(CvVarianceCut, SplitsWhereTheSquaredErrorFallsMostAndGivesWeightedMeans) {
    const std::vector<CvWeightedColor> colors = {{200, 50, 50, 2}, {10, 10, 10, 3}, {202, 50, 50, 2}, {12, 10, 10, 1}};
    std::vector<CvWeightedColor> list = colors;
    std::vector<CvWeightedColor> two = CvVarianceCut(nullptr).Cut(list, 2);
    ASSERT_EQ(two.size(), 2u);
    ExpectColor(two[0], 10.5f, 10, 10, 4);  // the lower part first
    ExpectColor(two[1], 201, 50, 50, 4);
    list = colors;
    std::vector<CvWeightedColor> one = CvVarianceCut(nullptr).Cut(list, 1);
    ExpectColor(one[0], (400 + 30 + 404 + 12) / 8.0f, (100 + 30 + 100 + 10) / 8.0f, (100 + 30 + 100 + 10) / 8.0f, 8);
    list = colors;
    EXPECT_EQ(CvVarianceCut(nullptr).Cut(list, 256).size(), 4u);  // never more boxes than colours
}

TEST(CvKMeansRefine, CentresMoveToTheMeanOfTheirNearestColoursAndAnUnusedOneStays) {
    const std::vector<CvWeightedColor> colors = {{0, 0, 0, 1}, {10, 0, 0, 3}, {100, 0, 0, 1}, {110, 0, 0, 1}};
    std::vector<CvWeightedColor> centres = {{0, 0, 0, 0}, {60, 0, 0, 0}, {250, 250, 250, 0}};
    CvKMeansRefine(nullptr).Refine(colors, centres, 1);
    ExpectColor(centres[0], 7.5f, 0, 0, 4);
    ExpectColor(centres[1], 105, 0, 0, 2);
    ExpectColor(centres[2], 250, 250, 250, 0);
    EXPECT_EQ(CvKMeansRefine::ToTable(centres), PaletteOf({{8, 0, 0}, {105, 0, 0}, {250, 250, 250}}));
}
