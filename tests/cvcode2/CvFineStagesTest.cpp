// The fine palette's exact colours and fine dithering (a hand-followed row, the grey level a black-and-white dither
// keeps, kept base colours, the stop request and the setups it refuses; fitting a palette to the diffusion). The fine
// histogram, cut and k-means passes run in the palette stages' table.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvDiffusionFit.h"
#include "cvcode2/CvExactColors.h"
#include "cvcode2/CvFineDither.h"
#include "cvcode2/CvNearestColor.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/RecordingIndicator.h"

namespace {
const CvColorTable kBlackWhite = PaletteOf({{0, 0, 0}, {255, 255, 255}});

struct Picture {
    uint32_t width, height;
    std::vector<uint8_t> rgb, out;
    Picture(uint32_t w, uint32_t h, RgbTriple colour)
        : width(w), height(h), rgb(size_t(w) * h * 3), out(size_t(w) * h, 0xEE) {
        for (size_t i = 0; i < size_t(w) * h; ++i) std::copy(colour.begin(), colour.end(), &rgb[3 * i]);
    }
    std::vector<uint8_t> Dither(uint32_t strength, const CvColorTable& palette = kBlackWhite,
                                const CvBitmapImage* mask = nullptr, CvProgressIndicator* indicator = nullptr) {
        CvNearestColor nearest(palette);
        FineDither(nearest, {strength, &palette, rgb.data(), out.data(), width * 3, width, width, height, mask},
                   indicator);
        return out;
    }
};
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

// Grey 100 on black and white, followed by hand: 15/16 of each error goes on, 7/16 of it to the next pixel (the
// full strength is held at 15/16), so the second pixel receives 41 levels and turns white. Over a large area the
// mix of black and white keeps the grey level: wrong weights or signs lose it at once.
TEST(FineDither, ARowFollowedByHandAndTheGreyLevelOfALargeArea) {
    EXPECT_EQ(Picture(4, 1, {100, 100, 100}).Dither(16), (std::vector<uint8_t>{0, 1, 0, 0}));
    EXPECT_EQ(Picture(4, 1, {100, 100, 100}).Dither(0), (std::vector<uint8_t>(4, 0)));
    // Weak dithering keeps the previous entry while it is nearly as near, but never over an exact match.
    Picture exact(4, 1, {100, 100, 100});
    exact.rgb[3] = exact.rgb[9] = 102;
    EXPECT_EQ(exact.Dither(1, PaletteOf({{100, 100, 100}, {102, 100, 100}})), (std::vector<uint8_t>{0, 1, 0, 1}));
    for (uint8_t grey : {40, 100, 200}) {
        const std::vector<uint8_t> out = Picture(120, 90, {grey, grey, grey}).Dither(16);
        const double white = double(std::count(out.begin(), out.end(), 1)) / out.size();
        EXPECT_NEAR(white * 255, grey, 255 * 0.02) << int(grey);
    }
}

// Masked pixels (x 4 to 11 of every third row) keep the entry of their own colour, black for grey 100, whatever
// error reaches them; the others still dither. The mask's bytes differ from their mirror images, so a mask read
// with its bits in the wrong order shows too.
TEST(FineDither, MaskedPixelsKeepTheirOwnColoursEntry) {
    Picture grey(40, 30, {100, 100, 100});
    CvBitmapImage mask(40, 30);
    {
        CvPixelLock lock(mask);
        for (uint32_t y = 0; y < 30; ++y) {
            std::fill_n(lock.Row(y), mask.RowBytes(), uint8_t(0));
            if (y % 3) continue;
            lock.Row(y)[0] = 0x0F;
            lock.Row(y)[1] = 0xF0;
        }
    }
    const std::vector<uint8_t> out = grey.Dither(16, kBlackWhite, &mask);
    for (uint32_t i = 0; i < out.size(); ++i)
        EXPECT_TRUE(i / 40 % 3 || i % 40 < 4 || i % 40 >= 12 || out[i] == 0) << "pixel " << i % 40 << "," << i / 40;
    EXPECT_GT(std::count(out.begin(), out.end(), 1), 300);
}

// The report after the row that reaches 2000 pixels asks to stop: the indicator hears of error 3 and the rows
// after it stay unwritten. Setups it cannot use safely are refused before anything is written.
TEST(FineDither, StopsAtTheReportThatAskedAndRefusesUnsafeSetups) {
    RecordingIndicator stopping;
    stopping.stop = true;
    Picture picture(100, 50, {90, 60, 30});
    EXPECT_THROW(picture.Dither(8, kBlackWhite, nullptr, &stopping), CvErrorCode);
    EXPECT_EQ(stopping.calls, (std::vector<std::string>{"start Remapping", "update 2000", "error 3"}));
    EXPECT_EQ(std::count(picture.out.begin(), picture.out.end(), 0xEE), 5000 - 2000);
    Picture small(9, 2, {1, 2, 3});
    CvNearestColor nearest(kBlackWhite);
    const CvFineDitherSetup good{8, &kBlackWhite, small.rgb.data(), small.out.data(), 27, 9, 9, 2, nullptr};
    const CvBitmapImage otherSize(8, 2), sameSize(9, 2);
    CvDiffusionSums sums{};
    CvFineDitherSetup bad[6] = {good, good, good, good, good, good};
    bad[0].strength = 17;
    bad[1].sourceRowBytes = 26;
    bad[2].destinationRowBytes = 8;
    bad[3].mask = &otherSize;
    bad[4].sums = &sums, bad[4].mask = &sameSize;  // a measuring pass diffuses everywhere
    bad[5].sums = &sums, bad[5].strength = 0;
    for (const CvFineDitherSetup& setup : bad) EXPECT_THROW(FineDither(nearest, setup, nullptr), CvErrorCode);
    EXPECT_EQ(std::count(small.out.begin(), small.out.end(), 0xEE), 18);
}

// Fitting the palette to the diffusion, on a grey ramp from black to white: a two-entry palette of mid greys is
// asked for the darker and lighter greys beside it and moves out towards them, except the entries kept. A picture
// made of the palette's own colours asks for nothing new, and the fit stops with error 3 when asked to.
TEST(DiffusionFit, MovesEntriesTowardsWhatTheDiffusionAsksExceptTheKeptOnes) {
    std::vector<uint8_t> ramp(256 * 40 * 3);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(i / 3 % 256);
    const CvColorTable greys = PaletteOf({{60, 60, 60}, {200, 200, 200}});
    const CvColorTable moved = CvDiffusionFit(nullptr).Fit(greys, 0, ramp.data(), 256 * 3, 256, 40);
    EXPECT_GT(moved.Entry(0)[0], 60);
    EXPECT_LT(moved.Entry(1)[0], 200);
    const CvColorTable kept = CvDiffusionFit(nullptr).Fit(greys, 1, ramp.data(), 256 * 3, 256, 40);
    EXPECT_EQ(kept.Entry(0)[0], 60);
    EXPECT_EQ(kept.Entry(1)[0], moved.Entry(1)[0]);

    Picture own(30, 20, {60, 60, 60});
    for (size_t i = 0; i < own.rgb.size(); i += 6) std::fill_n(&own.rgb[i], 3, uint8_t(200));
    EXPECT_EQ(CvDiffusionFit(nullptr).Fit(greys, 0, own.rgb.data(), 90, 30, 20), greys);

    RecordingIndicator stopping;
    stopping.stop = true;
    EXPECT_THROW(CvDiffusionFit(&stopping).Fit(greys, 0, ramp.data(), 256 * 3, 256, 40), CvErrorCode);
    EXPECT_EQ(stopping.calls, (std::vector<std::string>{"start Refining", "update 1", "error 3"}));
}
