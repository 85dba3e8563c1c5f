#include <gtest/gtest.h>

#include "cvcode2/CvQuantRemap.h"
#include "tests/cvcode2/ImageTestSupport.h"

TEST(CvQuantRemap, EntryInThePixelsOctantWinsOverANearerOneElsewhere) {
    // (127, 127, 127) shares the low octant with black, far away; grey 128 is nearer but in the high octant.
    // No entry shares the octant of (200, 30, 30), so the whole palette is searched there.
    auto image = RgbRow({{127, 127, 127}, {250, 250, 250}, {0, 0, 0}, {200, 30, 30}});
    CvQuantRemap remap;
    remap.SetPalette(PaletteOf({{0, 0, 0}, {128, 128, 128}}));
    remap.SetDither(0);
    remap.SetSource(image.get());
    std::unique_ptr<CvIndexedImage> out(remap.Remap(nullptr));
    EXPECT_EQ(IndexBytes(*out), (std::vector<uint8_t>{0, 1, 0, 1}));
    EXPECT_EQ(out->colorTable.GetCount(), 2u);
}

TEST(CvQuantRemap, AsymmetricPictureMapsEachPixelToItsOwnColourInAGivenImage) {
    CvRGBImage image(3, 2);
    Paint(image);
    std::vector<RgbTriple> reversed;
    for (uint32_t i = 0; i < 6; ++i) reversed.push_back(Expected(2 - i % 3, 1 - i / 3));
    CvQuantRemap remap;
    remap.SetPalette(PaletteOf(reversed));
    remap.SetSource(&image);
    CvIndexedImage out(3, 2);
    EXPECT_EQ(remap.Remap(&out), &out);
    EXPECT_EQ(IndexBytes(out), (std::vector<uint8_t>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(out.colorTable, PaletteOf(reversed));
    CvIndexedImage wrongSize(2, 3);
    EXPECT_THROW(remap.Remap(&wrongSize), CvErrorCode);
}
