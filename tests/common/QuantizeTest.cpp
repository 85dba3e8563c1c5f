// The settings-to-mode rules, and the reduction at Finish through the simulated host.
#include "common/Quantize.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvString.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/RecordingIndicator.h"

namespace {
constexpr int kWidth = 64, kHeight = 40;  // more than 2000 pixels, so the remap reports progress

// Asymmetric gradients with a little deterministic noise; an optional transparency plane.
SimImage Picture(int16_t mode, bool transparent = false) {
    SimImage image;
    image.mode = mode;
    image.width = kWidth;
    image.height = kHeight;
    image.colorPlanes = mode == plugInModeRGBColor ? 3 : 1;
    image.transparencyPlanes = transparent ? 1 : 0;
    uint32_t noise = 5;
    image.planes.assign(size_t(image.PlaneCount()), std::vector<uint8_t>(kWidth * kHeight));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            const size_t i = size_t(y * kWidth + x);
            image.planes[0][i] = uint8_t(x * 4 + (noise >> 29));
            if (image.colorPlanes == 3) {
                image.planes[1][i] = uint8_t(y * 6 + x);
                image.planes[2][i] = uint8_t(255 - x * 2 - y);
            }
        }
    return image;
}

struct Names {
    const char *palette, *base;
    QuantMode mode;
    uint32_t colors;  // of the palette handed to the engine
};
}  // namespace

TEST(QuantParamsFromSettings, PaletteNamesChooseTheMode) {
    HcGlobals globals{};
    SetDefaults(globals);
    const uint32_t netscape = FindPalette(globals, (const unsigned char*)"\x08Netscape")->count;
    const Names cases[] = {{"Custom", "None", QuantMode::Adaptive, 0},
                           {"Netscape", "Grayscale", QuantMode::FixedPalette, netscape},
                           {"Custom", "Grayscale", QuantMode::PreserveBase, 256},
                           {"Custom", "Custom", QuantMode::PreserveBase, 0},
                           {"Nowhere", "Nowhere", QuantMode::PreserveBase, 0},
                           {"", "", QuantMode::Adaptive, 0}};
    for (const Names& c : cases) {
        CvPStrFromC(globals.paletteName, c.palette);
        CvPStrFromC(globals.basePaletteName, c.base);
        QuantParams params = QuantParamsFromSettings(globals);
        EXPECT_EQ(params.mode, c.mode) << c.palette << "/" << c.base;
        EXPECT_EQ(params.palette.GetCount(), c.colors) << c.palette << "/" << c.base;
        EXPECT_EQ(params.colors, globals.settings.colors);
    }
    FreePaletteList(globals.paletteList);
    FreeColorList(globals.colorList);
}

TEST(ReduceForExport, RgbImageGetsAtMostTheColoursAskedForEachPixelOnItsNearestEntry) {
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
    host.SetImage(Picture(plugInModeRGBColor));
    ASSERT_EQ(host.ReadPlanes(), 0);
    HcGlobals& globals = RunData(host);
    globals.settings.colors = 8;
    globals.settings.dither = 0;
    ReduceForExport(CallRecord(host));
    const CvIndexedImage* out = globals.indexedImage;
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->GetWidth(), uint32_t(kWidth));
    const CvColorTable& palette = out->colorTable;
    ASSERT_GE(palette.GetCount(), 2u);
    ASSERT_LE(palette.GetCount(), 8u);
    {
        CvPixelLock in(*globals.rgbImage), indices(*out);
        for (uint32_t y = 0; y < uint32_t(kHeight); ++y)
            for (uint32_t x = 0; x < uint32_t(kWidth); ++x) {
                const uint8_t* p = in.Row(y) + 3 * x;
                uint8_t cell[3];
                CellColor(ColorIndex15(p[0], p[1], p[2]), cell);
                ASSERT_EQ(indices.Row(y)[x], palette.FindNearest(CvColorTable::Pack(cell[0], cell[1], cell[2]), -1))
                    << x << "," << y;
            }
    }
    EXPECT_EQ(host.Call(filterSelectorFinish), 0);
}

// The same input gives the same palette and indices on every build: a checksum of both, fixed here.
TEST(ReduceForExport, DitheredReductionIsTheSameOnEveryBuild) {
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
    host.SetImage(Picture(plugInModeRGBColor));
    ASSERT_EQ(host.ReadPlanes(), 0);
    HcGlobals& globals = RunData(host);
    globals.settings.colors = 16;
    globals.settings.dither = 5;
    ReduceForExport(CallRecord(host));
    const CvIndexedImage& out = *globals.indexedImage;
    uint32_t hash = 2166136261u;
    auto mix = [&hash](const uint8_t* bytes, size_t n) {
        for (size_t i = 0; i < n; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    };
    mix(out.colorTable.Entries(), 3 * size_t(out.colorTable.GetCount()));
    {
        CvPixelLock lock(out);
        mix(lock.Pixels(), size_t(kWidth) * kHeight);
    }
    EXPECT_EQ(out.colorTable.GetCount(), 16u);
    EXPECT_EQ(hash, 1295686240u);
    host.Call(filterSelectorFinish);
}

TEST(Quantize, StopRequestDuringRemappingEndsWithError3) {
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
    host.SetImage(Picture(plugInModeRGBColor));
    ASSERT_EQ(host.ReadPlanes(), 0);
    RecordingIndicator indicator;
    indicator.stop = true;
    try {
        Quantize(RunData(host), &indicator);
        ADD_FAILURE() << "no stop";
    } catch (const CvErrorCode& error) {
        EXPECT_EQ(error.code, 3u);
    }
    // Only the remapping reached the indicator: the palette steps cannot be stopped from it.
    EXPECT_EQ(indicator.calls, (std::vector<std::string>{"start Remapping", "update 2000", "error 3"}));
    host.Call(filterSelectorFinish);
}

TEST(Finish, AllTransparentLayerIsReducedToAnEmptyImageWithoutFailing) {
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
    SimImage image = Picture(plugInModeRGBColor, true);  // the transparency plane is all 0
    host.SetImage(image);
    EXPECT_EQ(host.Run(false), 0);
    EXPECT_EQ(host.Alerts().size(), 1u);  // the empty-selection warning only
    EXPECT_EQ(host.Data(), 0);
}

TEST(ReduceForExport, GreyPaletteIsLeftAloneAndAColouredOneIsMerged) {
    HostSimulator host(InProcessEntry, InProcessEmbed, PrivatePrefs());
    host.SetImage(Picture(plugInModeGrayScale));
    ASSERT_EQ(host.ReadPlanes(), 0);
    CvIndexedImage& grey = *RunData(host).indexedImage;
    ReduceForExport(CallRecord(host));
    EXPECT_EQ(grey.colorTable.GetCount(), 256u);
    grey.colorTable.SetEntry(0, 0, 0, 1);  // unused by the picture: dropped with the other unused levels
    ReduceForExport(CallRecord(host));
    EXPECT_LT(grey.colorTable.GetCount(), 256u);
    host.Call(filterSelectorFinish);
}
