// The settings-to-mode rules, and the reduction at Finish through the simulated host.
#include <gtest/gtest.h>

#include <vector>

#include "common/Quantize.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvString.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/InProcessHost.h"

namespace {
constexpr int kWidth = 64, kHeight = 40;  // more than 2000 pixels, so the remap reports progress

// Asymmetric gradients with a little deterministic noise.
SimImage Picture() {
    SimImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.planes.assign(3, std::vector<uint8_t>(kWidth * kHeight));
    uint32_t noise = 5;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        noise = noise * 1103515245u + 12345u;
        const int x = i % kWidth, y = i / kWidth;
        image.planes[0][size_t(i)] = uint8_t(x * 4 + (noise >> 29));
        image.planes[1][size_t(i)] = uint8_t(y * 6 + x);
        image.planes[2][size_t(i)] = uint8_t(255 - x * 2 - y);
    }
    return image;
}

}  // namespace

TEST(QuantParamsFromSettings, PaletteNamesChooseTheMode) {
    HcGlobals globals{};
    SetDefaults(globals);
    const uint32_t netscape = FindPalette(globals, (const unsigned char*)"\x08Netscape")->count;
    const struct {
        const char *palette, *base;
        QuantMode mode;
        uint32_t colors;  // of the palette handed to the engine
        bool fine;
    } cases[] = {{"Custom", "None", QuantMode::Adaptive, 0, false},
                 {"Netscape", "Grayscale", QuantMode::FixedPalette, netscape, false},
                 {"Custom", "Grayscale", QuantMode::PreserveBase, 256, false},
                 {"Nowhere", "Custom", QuantMode::PreserveBase, 0, false},
                 {"Fine", "None", QuantMode::Adaptive, 0, true},
                 {"Fine", "Grayscale", QuantMode::PreserveBase, 256, true},
                 {"Grayscale", "None", QuantMode::FixedPalette, 256, false}};
    for (const auto& c : cases) {
        CvPStrFromC(globals.paletteName, c.palette);
        CvPStrFromC(globals.basePaletteName, c.base);
        QuantParams params = QuantParamsFromSettings(globals);
        EXPECT_EQ(params.mode, c.mode) << c.palette << "/" << c.base;
        EXPECT_EQ(params.palette.GetCount(), c.colors) << c.palette << "/" << c.base;
        EXPECT_EQ(params.colors, globals.settings.colors);
        EXPECT_EQ(params.fine, c.fine) << c.palette << "/" << c.base;
    }
    // "Fine" keeps its meaning even beside a saved palette of that name (which loading renames).
    CvPStrFromC(globals.paletteName, "Fine");
    CvPStrFromC(globals.basePaletteName, "None");
    CvPStrFromC(const_cast<HcPaletteEntry*>(FindPalette(globals, (const unsigned char*)"\x09Grayscale"))->name, "Fine");
    QuantParams saved = QuantParamsFromSettings(globals);
    EXPECT_EQ(saved.mode, QuantMode::Adaptive);
    EXPECT_TRUE(saved.fine);
    FreePaletteList(globals.paletteList);
    FreeColorList(globals.colorList);
}

// The dithered result is fixed by a checksum of palette and indices, which every build must reproduce. (That
// undithered pixels get their cell's nearest entry is the inverse map's and the remap's own test.)
TEST(ReduceForExport, RgbImageGetsTheColoursAskedForTheSameOnEveryBuild) {
    const struct {
        const char *palette, *golden;
    } cases[] = {{"Custom", "reduction/16-colours-dither-5"}, {"Fine", "reduction/fine-16-colours-dither-5"}};
    for (const auto& c : cases) {
        ReadRun run(Picture());
        HcGlobals& globals = run.globals();
        globals.settings.colors = 16;
        globals.settings.dither = 5;
        CvPStrFromC(globals.paletteName, c.palette);
        ReduceForExport(run.record());
        const CvIndexedImage& out = *globals.indexedImage;
        ASSERT_EQ(out.colorTable.GetCount(), 16u) << c.palette;
        const std::vector<uint8_t> indices = IndexBytes(out);
        ExpectGolden(c.golden, std::string(reinterpret_cast<const char*>(out.colorTable.Entries()), 3 * 16) +
                                   std::string(indices.begin(), indices.end()));
        EXPECT_EQ(run.host.Call(filterSelectorFinish), 0);
    }
}
