// The settings-to-mode rules and reductions that reuse earlier work, checked against fresh reductions of the same
// settings: every mode, with and without a transparency plane, after setting changes, stopped runs and changed
// sources. (The reduction for the export shows in the files of the whole runs, ExportFrame.WholeRecordedRuns...)
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/Quantize.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvString.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/RecordingIndicator.h"
#include "tests/support/SettingsLists.h"

namespace {
constexpr uint32_t kWidth = 150, kHeight = 90;  // many more pixels than one progress report covers

// Noisy asymmetric gradients; the top rows are exact greys, which the grey base palette finds.
std::unique_ptr<CvRGBImage> Photo(uint32_t seed) {
    auto image = std::make_unique<CvRGBImage>(kWidth, kHeight);
    CvPixelLock lock(*image);
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            uint8_t* p = lock.Row(y) + 3 * x;
            const uint8_t grey = uint8_t(x / 10 * 17);
            p[0] = y < 12 ? grey : uint8_t(x * 3 / 2 + (seed >> 28));
            p[1] = y < 12 ? grey : uint8_t(y * 2 + x / 3);
            p[2] = y < 12 ? grey : uint8_t(250 - x - y);
        }
    return image;
}

// A reduction's palette and indices.
using Result = std::pair<CvColorTable, std::vector<uint8_t>>;

class QuantizeReuseTest : public ::testing::Test {
protected:
    QuantizeReuseTest() : image(Photo(1)), plane(kWidth, kHeight, 255) {
        globals.rgbImage = image.get();
        CvPixelLock lock(plane);
        for (uint32_t y = 0; y < kHeight; ++y) std::memset(lock.Row(y) + kWidth / 3, 0, kWidth / 4);
        planes.Append(&plane);
    }
    ~QuantizeReuseTest() override {
        planes.RemoveAll();
        delete globals.indexedImage;
    }

    void Set(const char* palette, const char* base, uint32_t colors, uint16_t dither) {
        CvPStrFromC(globals.paletteName, palette);
        CvPStrFromC(globals.basePaletteName, base);
        globals.settings.colors = colors;
        globals.settings.dither = dither;
    }
    void UsePlane(bool use) {
        globals.extraPlanes = use ? &planes : nullptr;
        globals.hasTransparencyPlane = use;
    }
    Result Reduce(QuantizeReuse* with) {
        Quantize(globals, nullptr, with);
        return {globals.indexedImage->colorTable, IndexBytes(*globals.indexedImage)};
    }
    void ExpectFresh(const std::string& what) { EXPECT_EQ(Reduce(&reuse), Reduce(nullptr)) << what; }

    OwnedGlobals globals;
    std::unique_ptr<CvRGBImage> image;
    CvGrayscaleImage plane;
    CvList planes;
    QuantizeReuse reuse;
};
}  // namespace

// Dither, colour and palette changes, stopped runs and new sources: each reduction gives the bytes of a fresh one.
TEST_F(QuantizeReuseTest, EveryChangeGivesTheBytesOfAFreshReduction) {
    const struct {
        const char *palette, *base;
        bool plane;
    } modes[] = {{"Custom", "None", false},
                 {"Netscape", "None", true},
                 {"Custom", "Grayscale", true},
                 {"Fine", "None", true},
                 {"Fine", "Grayscale", false}};
    const std::pair<uint32_t, uint16_t> steps[] = {{40, 5}, {40, 0}, {40, 10}, {12, 10}, {12, 3}, {2, 3}};
    for (const auto& mode : modes) {
        UsePlane(mode.plane);
        for (const auto& [colors, dither] : steps) {
            Set(mode.palette, mode.base, colors, dither);
            ExpectFresh(std::string(mode.palette) + "/" + mode.base + " " + std::to_string(colors) + "/" +
                        std::to_string(dither));
        }
    }
    // Stopped runs and new sources never leave stale work.
    Set("Custom", "Grayscale", 64, 4);
    ExpectFresh("first");
    RecordingIndicator stop;
    stop.stop = true;
    for (uint16_t dither : {7, 7}) {  // a stopped remap, and a stopped run that had made a new palette
        globals.settings.dither = dither;
        EXPECT_EQ(ErrorOf([&] { Quantize(globals, &stop, &reuse); }), kCvErrCancelled);
        globals.settings.colors = 32;
    }
    ExpectFresh("after the stops");

    UsePlane(true);
    ExpectFresh("transparency turned on");
    std::unique_ptr<CvRGBImage> other = Photo(2);
    globals.rgbImage = other.get();
    ExpectFresh("another image");
    // The same image with other pixels is only noticed when told.
    Paint(*other);
    reuse.Reset();
    ExpectFresh("repainted image");
    globals.rgbImage = image.get();
}

// Dithering 0, 6, 9 in turn. Classic base-preserving: the first run finds the base colours, cuts and remaps; the
// second makes the mask of kept colours for the dithering and remaps; the third only remaps. Fine: the palette for
// dithering is fitted to the diffusion, so the second run makes the palette again; the third only remaps.
TEST(QuantEngineKeptStages, OnlyTheRemapRunsAgainWhenOnlyTheDitheringChanges) {
    RecordingIndicator captions;
    using Runs = std::vector<std::vector<std::string>>;
    const struct {
        QuantMode mode;
        bool fine;
        Runs expected;  // the second and third runs' tasks
    } cases[] = {
        {QuantMode::PreserveBase, false, {{"Creating mask of preserved colors", "Remapping"}, {"Remapping"}}},
        {QuantMode::Adaptive, true, {{"Quantizing", "Refining", "Refining", "Remapping"}, {"Remapping"}}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<CvRGBImage> image = Photo(3);
        QuantEngine engine(&captions);
        engine.KeepStages(true);
        engine.SetSource(image.get());
        QuantParams params{40, c.mode, CvColorTable(), 0, c.fine};
        Runs runs;
        for (uint16_t dither : {0, 6, 9}) {
            params.dither = dither;
            engine.SetParams(params);
            captions.calls.clear();
            engine.Run(nullptr);
            std::vector<std::string>& started = runs.emplace_back();
            for (const std::string& call : captions.calls)
                if (call.rfind("start ", 0) == 0) started.push_back(call.substr(6));
        }
        EXPECT_GT(runs[0].size(), 2u) << c.fine;
        EXPECT_EQ(Runs(runs.begin() + 1, runs.end()), c.expected) << c.fine;
    }
}

// "Fine" keeps its meaning even beside a saved palette of that name (which loading renames, so no run gets there).
// What each other name chooses shows in the files of the whole runs (ExportFrame.WholeRecordedRuns...).
TEST(QuantParamsFromSettings, FineIsTheFineAdaptivePaletteBesideASavedOneOfThatName) {
    OwnedGlobals globals;
    CvPStrFromC(globals.paletteName, "Fine");
    CvPStrFromC(globals.basePaletteName, "None");
    CvPStrFromC(const_cast<HcPaletteEntry*>(FindPalette(globals, (const unsigned char*)"\x09Grayscale"))->name, "Fine");
    QuantParams saved = QuantParamsFromSettings(globals);
    EXPECT_EQ(saved.mode, QuantMode::Adaptive);
    EXPECT_TRUE(saved.fine);
}
