#include <gtest/gtest.h>

#include "cvcode2/CvLog.h"
#include "quantengine/QuantEngine.h"
#include "tests/support/ImageTestSupport.h"

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

using Indices = std::vector<uint8_t>;
const RgbTriple kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255};

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

TEST(QuantEngine, AdaptivePaletteIsTheOccupiedCellsWithNearBlackFoldedIntoBlack) {
    for (uint32_t colors : {256u, 3u}) {
        Reduction r = Reduce({kBlack, {8, 8, 8}, kRed, kWhite, kRed, kWhite}, QuantMode::Adaptive, colors, 0);
        EXPECT_EQ(r.palette, PaletteOf({kBlack, kRed, kWhite}));
        EXPECT_EQ(r.indices, (Indices{0, 0, 1, 2, 1, 2}));
    }
    Reduction r = Reduce({kWhite, kBlack, kBlack, kWhite}, QuantMode::Adaptive, 2, 10);
    EXPECT_EQ(r.palette, PaletteOf({kBlack, kWhite}));
    EXPECT_EQ(r.indices, (Indices{1, 0, 0, 1}));
}

TEST(QuantEngine, FixedPaletteKeepsItsExactColoursDropsUnusedAndMergesTheLeastUsed) {
    const std::vector<RgbTriple> pixels = {{250, 5, 5}, {0, 0, 250}, {0, 0, 250}, {240, 10, 0}};
    const std::vector<RgbTriple> saved = {kRed, {0, 255, 0}, kBlue, kWhite, kBlack};
    Reduction all = Reduce(pixels, QuantMode::FixedPalette, 256, 0, saved);
    EXPECT_EQ(all.palette, PaletteOf({kRed, kBlue}));
    EXPECT_EQ(all.indices, (Indices{0, 1, 1, 0}));
    Reduction one = Reduce(pixels, QuantMode::FixedPalette, 1, 5, saved);  // equal use: the earlier entry goes
    EXPECT_EQ(one.palette, PaletteOf({kBlue}));
    EXPECT_EQ(one.indices, (Indices{0, 0, 0, 0}));
}

TEST(QuantEngine, PreservedBaseColoursComeFirstAndStayExactWithAndWithoutDithering) {
    // (103, 150, 200) shares the cell of base colour (100, 150, 200), whose centre (107, 156, 206) becomes an
    // adaptive entry nearer to that centre than the base colour is; the base colour's pixels still keep it.
    const RgbTriple base0{100, 150, 200}, base1{30, 60, 90}, near0{103, 150, 200}, light{240, 240, 240};
    for (uint16_t dither : {0, 5}) {
        Reduction r = Reduce({base0, base1, light, base1, near0, light, near0, base0, base1}, QuantMode::PreserveBase,
                             4, dither, {{1, 2, 3}, base0, base1});
        EXPECT_EQ(r.palette, PaletteOf({base0, base1, {107, 156, 206}, {247, 247, 247}})) << dither;
        EXPECT_EQ(r.preserved, 2u);
        for (size_t i : {0, 7}) EXPECT_EQ(r.indices[i], 0) << dither;
        for (size_t i : {1, 3, 8}) EXPECT_EQ(r.indices[i], 1) << dither;
    }
}

TEST(QuantEngine, BaseColoursAsManyAsColoursAreAllKeptOnlyWhenNothingElseNeedsAnEntry) {
    const RgbTriple a{10, 20, 30}, b{200, 100, 50};
    Reduction all = Reduce({a, b, a, b}, QuantMode::PreserveBase, 2, 5, {a, b});
    EXPECT_EQ(all.palette, PaletteOf({a, b}));
    EXPECT_EQ(all.indices, (Indices{0, 1, 0, 1}));
    // Green needs an entry: the less used base colour gives way and its pixel is reduced together with green.
    Reduction trimmed = Reduce({a, b, a, {0, 255, 0}, a}, QuantMode::PreserveBase, 2, 0, {a, b});
    EXPECT_EQ(trimmed.palette, PaletteOf({a, {103, 181, 24}}));
    EXPECT_EQ(trimmed.preserved, 1u);
    EXPECT_EQ(trimmed.indices, (Indices{0, 1, 0, 1, 0}));
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

// Near-black and two colours of one 5-bit cell would merge on the cell grid; the fine mode keeps all of them.
TEST(QuantEngineFine, AnImageOfNoMoreColoursThanAskedKeepsEveryColourExactly) {
    const RgbTriple dark{8, 8, 8}, blue0{100, 150, 200}, blue1{101, 150, 200};
    const std::vector<RgbTriple> pixels = {kBlack, dark, blue0, blue1, kWhite, dark, kBlack, blue1};
    for (uint16_t dither : {0, 10}) {
        Reduction r = Reduce(pixels, QuantMode::Adaptive, 5, dither, {}, true);
        EXPECT_EQ(r.palette, PaletteOf({kBlack, dark, blue0, blue1, kWhite})) << dither;
        EXPECT_EQ(r.indices, (Indices{0, 1, 2, 3, 4, 1, 0, 3})) << dither;
    }
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
        EXPECT_EQ(PaletteOf({base0, base1}),
                  PaletteOf({{r.palette.Entry(0)[0], r.palette.Entry(0)[1], r.palette.Entry(0)[2]},
                             {r.palette.Entry(1)[0], r.palette.Entry(1)[1], r.palette.Entry(1)[2]}}));
        for (size_t i = 0; i < pixels.size(); i += 7) ASSERT_EQ(r.indices[i], i % 2 ? 0 : 1) << dither << " " << i;
    }
}

TEST(QuantEngine, DitherAmountsMapToStrengths) {
    const uint32_t expected[11] = {0, 2, 3, 5, 6, 8, 10, 11, 13, 14, 16};
    for (uint16_t d = 0; d <= 10; ++d) EXPECT_EQ(DitherStrength(d), expected[d]) << d;
    EXPECT_EQ(DitherStrength(255), 16u);
}
