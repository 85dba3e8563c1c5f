// Fine dithering by hand on one row, and the stop requests and unsafe setups of fine dithering and of fitting a
// palette to the diffusion. The fine stages' bytes on whole runs are pinned by the engine's table of whole runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvDiffusionFit.h"
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
    std::vector<uint8_t> Dither(uint32_t strength, CvProgressIndicator* indicator = nullptr) {
        CvNearestColor nearest(kBlackWhite);
        FineDither(nearest, {strength, &kBlackWhite, rgb.data(), out.data(), width * 3, width, width, height, nullptr},
                   indicator);
        return out;
    }
};
}  // namespace

// Grey 100 on black and white, followed by hand: 15/16 of each error goes on, 7/16 of it to the next pixel (the
// full strength is held at 15/16), so the second pixel receives 41 levels and turns white.
TEST(FineDither, ARowFollowedByHand) {
    EXPECT_EQ(Picture(4, 1, {100, 100, 100}).Dither(16), (std::vector<uint8_t>{0, 1, 0, 0}));
}

// The report after the row that reaches 2000 pixels asks to stop: the indicator hears of error 3 and the rows
// after it stay unwritten. Setups it cannot use safely are refused before anything is written.
TEST(FineDither, StopsAtTheReportThatAskedAndRefusesUnsafeSetups) {
    RecordingIndicator stopping;
    stopping.stop = true;
    Picture picture(100, 50, {90, 60, 30});
    EXPECT_THROW(picture.Dither(8, &stopping), CvErrorCode);
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

// Fitting the palette to the diffusion stops with error 3 when asked to.
TEST(DiffusionFit, StopsWhenAsked) {
    std::vector<uint8_t> ramp(256 * 40 * 3);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(i / 3 % 256);
    RecordingIndicator stopping;
    stopping.stop = true;
    EXPECT_THROW(CvDiffusionFit(&stopping).Fit(kBlackWhite, 0, ramp.data(), 256 * 3, 256, 40), CvErrorCode);
    EXPECT_EQ(stopping.calls, (std::vector<std::string>{"start Refining", "update 1", "error 3"}));
}
