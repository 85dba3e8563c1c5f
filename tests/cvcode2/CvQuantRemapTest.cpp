#include "cvcode2/CvQuantRemap.h"

#include <gtest/gtest.h>

#include <memory>

#include "cvcode2/CvIndexedImage.h"
#include "tests/cvcode2/ImageTestSupport.h"

namespace {
CvColorTable Table(std::initializer_list<std::array<uint8_t, 3>> colors) {
    CvColorTable table(uint32_t(colors.size()));
    uint32_t i = 0;
    for (const auto& c : colors) table.SetEntry(i++, c[0], c[1], c[2]);
    return table;
}

std::vector<uint8_t> Indices(const CvIndexedImage& image) {
    std::vector<uint8_t> out;
    CvPixelLock lock(image);
    for (uint32_t y = 0; y < image.GetHeight(); ++y)
        out.insert(out.end(), lock.Row(y), lock.Row(y) + image.GetWidth());
    return out;
}
}  // namespace

TEST(CvQuantRemap, EntryInThePixelsOctantWinsOverANearerOneElsewhere) {
    CvRGBImage image(4, 1);
    {
        CvPixelLock lock(image);
        const uint8_t pixels[12] = {127, 127, 127, 250, 250, 250, 0, 0, 0, 200, 30, 30};
        std::copy(pixels, pixels + 12, lock.Pixels());
    }
    // (127, 127, 127) lies in the low octant with black, far away; grey 128 is nearer but in the high octant.
    // No entry shares the octant of (200, 30, 30), so the whole palette is searched there.
    CvQuantRemap remap;
    remap.SetPalette(Table({{0, 0, 0}, {128, 128, 128}}));
    remap.SetDither(0);
    remap.SetSource(&image);
    std::unique_ptr<CvIndexedImage> out(remap.Remap(nullptr));
    EXPECT_EQ(Indices(*out), (std::vector<uint8_t>{0, 1, 0, 1}));
    EXPECT_EQ(out->colorTable.GetCount(), 2u);
}

TEST(CvQuantRemap, AsymmetricPictureMapsEachPixelToItsOwnColourInAGivenImage) {
    CvRGBImage image(3, 2);
    Paint(image);
    CvColorTable palette(6);
    for (uint32_t i = 0; i < 6; ++i) {
        auto c = Expected(2 - i % 3, 1 - i / 3);  // entries in reverse pixel order
        palette.SetEntry(i, c[0], c[1], c[2]);
    }
    CvQuantRemap remap;
    remap.SetPalette(palette);
    remap.SetSource(&image);
    CvIndexedImage out(3, 2);
    EXPECT_EQ(remap.Remap(&out), &out);
    EXPECT_EQ(Indices(out), (std::vector<uint8_t>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(out.colorTable, palette);

    CvIndexedImage wrongSize(2, 3);
    EXPECT_THROW(remap.Remap(&wrongSize), CvErrorCode);
}
