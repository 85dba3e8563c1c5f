#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "cvcode2/CvLog.h"
#include "quantengine/QuantEngine.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/TestPaths.h"

namespace {
struct Reduction {
    CvColorTable palette;
    std::vector<uint8_t> indices;
    uint32_t preserved;
};

Reduction Reduce(const std::vector<RgbTriple>& pixels, QuantMode mode, uint32_t colors, uint16_t dither,
                 const std::vector<RgbTriple>& table = {}, bool fine = false) {
    auto image = RgbRow(pixels);
    QuantEngine engine;
    engine.SetSource(image.get());
    engine.SetParams({colors, mode, PaletteOf(table), dither, fine});
    CvIndexedImage out(image->GetWidth(), 1);
    engine.Run(&out);
    EXPECT_EQ(out.colorTable, engine.Palette());
    return {engine.Palette(), IndexBytes(out), engine.PreservedCount()};
}

const RgbTriple kRed{255, 0, 0};

// A row of smooth asymmetric gradients with deterministic noise: far more colours than any palette holds.
std::vector<RgbTriple> Gradient(uint32_t count) {
    std::vector<RgbTriple> pixels;
    uint32_t noise = 3;
    for (uint32_t i = 0; i < count; ++i) {
        noise = noise * 1103515245u + 12345u;
        pixels.push_back({uint8_t(i * 251 / count + (noise >> 29)), uint8_t(60 + i % 97), uint8_t(200 - i % 150)});
    }
    return pixels;
}

uint64_t SquaredError(const std::vector<RgbTriple>& pixels, const Reduction& r) {
    uint64_t sum = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        sum += CvColorTable::Distance(pixels[i].data(), r.palette.Entry(r.indices[i]));
    return sum;
}
}  // namespace

// Small pictures with palettes and indices worked out by hand: each row says what it guards.
TEST(QuantEngine, SmallPicturesGetTheHandComputedPaletteAndIndicesInEveryMode) {
    const std::map<std::string, QuantMode> modes = {
        {"adaptive", QuantMode::Adaptive}, {"fixed", QuantMode::FixedPalette}, {"base", QuantMode::PreserveBase}};
    for (const std::vector<std::string>& row : DataTable("engine/reductions.txt")) {
        SCOPED_TRACE(row[0] + (row[1] == "1" ? " fine, " : ", ") + row[2] + " colours, dither " + row[3] + ": " +
                     row[4]);
        const Reduction r = Reduce(ColoursOf(row[4]), modes.at(row[0]), uint32_t(std::stoul(row[2])),
                                   uint16_t(std::stoi(row[3])), ColoursOf(row[5]), row[1] == "1");
        EXPECT_EQ(r.palette, PaletteOf(ColoursOf(row[6])));
        const std::vector<int> got(r.indices.begin(), r.indices.end());
        std::vector<int> expected;
        std::istringstream indices(row[7]);
        for (std::string index; indices >> index;)
            expected.push_back(index == "*" ? got.at(expected.size()) : std::stoi(index));
        EXPECT_EQ(got, expected);
        EXPECT_TRUE(row[8] == "*" || r.preserved == std::stoul(row[8])) << r.preserved << " base colours kept";
    }
}

TEST(QuantEngine, EmptySourceGetsAOneEntryPaletteInEveryMode) {
    CvRGBImage empty(0, 0);
    const unsigned failedChecks = CvFailedCheckCount();
    for (QuantMode mode : {QuantMode::Adaptive, QuantMode::FixedPalette, QuantMode::PreserveBase})
        for (bool fine : {false, true}) {
            QuantEngine engine;
            engine.SetSource(&empty);
            engine.SetParams({16, mode, PaletteOf({kRed}), 5, fine});
            engine.Run(nullptr);
            EXPECT_EQ(engine.Destination()->GetWidth(), 0u);
            EXPECT_EQ(engine.Destination()->colorTable.GetCount(), 1u);
        }
    EXPECT_EQ(CvFailedCheckCount(), failedChecks);
}

// Undithered, every pixel gets the entry nearest to its own colour, and the palette fits the picture better
// than the cell grid's does.
TEST(QuantEngineFine, PixelsGetTheirNearestEntryOfAFullPaletteThatBeatsTheCellGrid) {
    const std::vector<RgbTriple> pixels = Gradient(3000);
    Reduction fine = Reduce(pixels, QuantMode::Adaptive, 16, 0, {}, true);
    ASSERT_EQ(fine.palette.GetCount(), 16u);
    for (size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(fine.indices[i],
                  fine.palette.FindNearest(CvColorTable::Pack(pixels[i][0], pixels[i][1], pixels[i][2]), -1));
    Reduction cells = Reduce(pixels, QuantMode::Adaptive, 16, 0);
    EXPECT_LT(SquaredError(pixels, fine), SquaredError(pixels, cells));
}

// Base colours found in the picture come first and their pixels keep them, dithered or not.
TEST(QuantEngineFine, PreservedBaseColoursComeFirstAndStayExact) {
    const RgbTriple base0{100, 150, 200}, base1{30, 60, 90};
    std::vector<RgbTriple> pixels = Gradient(2000);
    for (size_t i = 0; i < pixels.size(); i += 7) pixels[i] = i % 2 ? base0 : base1;
    for (uint16_t dither : {0, 10}) {
        Reduction r = Reduce(pixels, QuantMode::PreserveBase, 8, dither, {{1, 2, 3}, base0, base1}, true);
        ASSERT_EQ(r.palette.GetCount(), 8u);
        EXPECT_EQ(r.preserved, 2u);
        EXPECT_EQ(std::vector<uint8_t>(r.palette.Entries(), r.palette.Entries() + 6),
                  TableBytes(PaletteOf({base0, base1})));
        for (size_t i = 0; i < pixels.size(); i += 7) ASSERT_EQ(r.indices[i], i % 2 ? 0 : 1) << dither << " " << i;
    }
}

TEST(QuantEngine, DitherAmountsMapToStrengths) {
    const uint32_t expected[11] = {0, 2, 3, 5, 6, 8, 10, 11, 13, 14, 16};
    for (uint16_t d = 0; d <= 10; ++d) EXPECT_EQ(DitherStrength(d), expected[d]) << d;
    EXPECT_EQ(DitherStrength(255), 16u);
}
