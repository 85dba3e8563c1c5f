// Preview pixels: the 1 : 1 render into B, G, R, 0 and the zoomed-out block averages, whole, by band and by
// rectangle. Spare buffer pixels hold a poison value, so reading or writing outside the image shows.
#include <gtest/gtest.h>

#include <vector>

#include "cvcode2/CvRGBImage.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/PixelMismatches.h"
#include "uicore/HcPreviewRaster.h"

namespace {

constexpr uint8_t kSpare = 0xAB;

// Buffers of the sizes the panes create: the image plus 7 spare columns and rows, and integer halves plus 1.
struct Buffers {
    uint32_t width, height;
    std::vector<uint8_t> fullMemory, reducedMemory;
    Buffers(uint32_t w, uint32_t h)
        : width(w),
          height(h),
          fullMemory(size_t(w + 7) * (h + 7) * 4, kSpare),
          reducedMemory(size_t(w / 2 + 1) * (h / 2 + 1) * 4, kSpare) {}
    HcPreviewRaster Raster() {
        return HcPreviewRaster({fullMemory.data(), width + 7, height + 7},
                               {reducedMemory.data(), width / 2 + 1, height / 2 + 1}, width, height);
    }
};

// A buffer pixel B, G, R, 0 read as one little-endian word: 0xRRGGBB when its fourth byte is 0.
uint32_t Word(const uint8_t* p) {
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

uint32_t Painted(uint32_t x, uint32_t y) {
    const std::array<uint8_t, 3> rgb = Expected(x, y);
    return uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
}

}  // namespace

// Every block is the average of its pixels, the last column and row of blocks cut by the edges; straight from the
// image, in bands that cut rows of blocks, the blocks are the same and the full buffer is never touched.
TEST(HcPreviewRaster, ZoomedOutEveryBlockIsTheAverageOfItsPixelsWhetherFromTheBufferOrTheImage) {
    CvRGBImage image(100, 60);
    Paint(image);
    for (uint32_t den : {2u, 3u, 8u, 16u, 32u, 128u}) {
        SCOPED_TRACE(den);
        Buffers viaFull(100, 60), direct(100, 60);
        const HcPreviewRaster raster = viaFull.Raster();
        raster.Render(&image);
        EXPECT_EQ(Word(raster.Full().At(37, 5)) & 0xFFFFFF, Painted(37, 5));
        EXPECT_EQ(raster.Full().At(100, 0)[0], kSpare);

        raster.Downsample(den);
        const uint32_t columns = (100 + den - 1) / den, rows = (60 + den - 1) / den;
        for (uint32_t by = 0; by < rows; ++by)
            for (uint32_t bx = 0; bx < columns; ++bx)
                ASSERT_EQ(Word(raster.Reduced().At(bx, by)), BlockAverage(Painted, bx, by, den, 100, 60))
                    << bx << ", " << by;
        EXPECT_EQ(raster.Reduced().At(columns, 0)[0], kSpare);
        EXPECT_EQ(raster.Reduced().At(0, rows)[0], kSpare);

        for (uint32_t top = 0; top < 60; top += 7) direct.Raster().RenderBlocks(image, den, top, top + 7);
        EXPECT_EQ(direct.reducedMemory, viaFull.reducedMemory);
        EXPECT_EQ(direct.fullMemory, std::vector<uint8_t>(direct.fullMemory.size(), kSpare));
    }
}

// A rectangle recomputes just the blocks under it; no image is white; buffers and images of other sizes are refused.
TEST(HcPreviewRaster, ARectangleRecomputesJustTheBlocksUnderItNoImageIsWhiteAndSizesAreChecked) {
    CvRGBImage image(40, 30);
    Paint(image);
    Buffers stale(40, 30), fresh(40, 30);
    const HcPreviewRaster partial = stale.Raster(), whole = fresh.Raster();
    const uint8_t black[3] = {0, 0, 0};
    for (const HcPreviewRaster* raster : {&partial, &whole}) {
        raster->Render(&image);
        raster->Downsample(3);
        for (const HcPoint at : {HcPoint{20, 15}, HcPoint{24, 19}, HcPoint{1, 1}})
            raster->Full().SetRGB(uint32_t(at.x), uint32_t(at.y), black);
    }
    whole.Downsample(3);
    partial.DownsampleRect(3, 21, 16, 19, 14);  // widened to 16..24 x 11..19: blocks 5..8 x 3..6
    EXPECT_NE(Word(partial.Reduced().At(0, 0)), Word(whole.Reduced().At(0, 0)));
    partial.DownsampleRect(3, -3, -3, -1, -1);  // clipped to 0..2 x 0..2: block 0, 0
    EXPECT_EQ(stale.reducedMemory, fresh.reducedMemory);
    partial.DownsampleRect(3, -9, 5, -4, 6);  // wholly left of the image
    EXPECT_EQ(stale.reducedMemory, fresh.reducedMemory);

    whole.Render(nullptr);
    for (size_t i = 0; i < fresh.fullMemory.size(); ++i) ASSERT_EQ(fresh.fullMemory[i], i % 4 == 3 ? 0 : 255);
    CvRGBImage wrongSize(40, 31);
    EXPECT_EQ(ErrorOf([&] { whole.Render(&wrongSize); }), 21);
    EXPECT_EQ(ErrorOf([&] { HcPreviewRaster({fresh.fullMemory.data(), 39, 37}, whole.Reduced(), 40, 30); }), 21);
    EXPECT_EQ(ErrorOf([&] { HcPreviewRaster(whole.Full(), {fresh.reducedMemory.data(), 20, 1}, 40, 30); }), 21);
}
