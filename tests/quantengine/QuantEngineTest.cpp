#include "quantengine/QuantEngine.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"

namespace {
using Rgb = std::array<uint8_t, 3>;

std::unique_ptr<CvRGBImage> Row(const std::vector<Rgb>& pixels) {
    auto image = std::make_unique<CvRGBImage>(uint32_t(pixels.size()), 1);
    CvPixelLock lock(*image);
    for (size_t i = 0; i < pixels.size(); ++i) std::copy(pixels[i].begin(), pixels[i].end(), lock.Pixels() + 3 * i);
    return image;
}

CvColorTable Table(const std::vector<Rgb>& colors) {
    CvColorTable table(uint32_t(colors.size()));
    for (uint32_t i = 0; i < table.GetCount(); ++i) table.SetEntry(i, colors[i][0], colors[i][1], colors[i][2]);
    return table;
}

std::vector<uint8_t> Indices(const CvIndexedImage& image) {
    CvPixelLock lock(image);
    return std::vector<uint8_t>(lock.Pixels(), lock.Pixels() + image.GetWidth());
}

struct Reduction {
    CvColorTable palette;
    std::vector<uint8_t> indices;
    uint32_t preserved;
};

Reduction Reduce(CvRGBImage& image, QuantMode mode, uint32_t colors, uint16_t dither, const std::vector<Rgb>& table) {
    QuantParams params;
    params.mode = mode;
    params.colors = colors;
    params.dither = dither;
    params.palette = Table(table);
    QuantEngine engine;
    engine.SetSource(&image);
    engine.SetParams(params);
    CvIndexedImage out(image.GetWidth(), image.GetHeight());
    engine.Run(&out);
    EXPECT_EQ(out.colorTable, engine.Palette());
    return {engine.Palette(), Indices(out), engine.PreservedCount()};
}

const Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255};
}  // namespace

TEST(QuantEngine, AdaptivePaletteIsTheOccupiedCellsWithNearBlackFoldedIntoBlack) {
    auto image = Row({kBlack, {8, 8, 8}, kRed, kWhite, kRed, kWhite});
    for (uint32_t colors : {256u, 3u}) {
        Reduction r = Reduce(*image, QuantMode::Adaptive, colors, 0, {});
        EXPECT_EQ(r.palette, Table({kBlack, kRed, kWhite}));
        EXPECT_EQ(r.indices, (std::vector<uint8_t>{0, 0, 1, 2, 1, 2}));
    }
    auto blackAndWhite = Row({kWhite, kBlack, kBlack, kWhite});
    Reduction r = Reduce(*blackAndWhite, QuantMode::Adaptive, 2, 10, {});
    EXPECT_EQ(r.palette, Table({kBlack, kWhite}));
    EXPECT_EQ(r.indices, (std::vector<uint8_t>{1, 0, 0, 1}));
}

TEST(QuantEngine, FixedPaletteKeepsItsExactColoursDropsUnusedAndMergesTheLeastUsed) {
    auto image = Row({{250, 5, 5}, {0, 0, 250}, {0, 0, 250}, {240, 10, 0}});
    const std::vector<Rgb> saved = {kRed, {0, 255, 0}, kBlue, kWhite, kBlack};
    Reduction all = Reduce(*image, QuantMode::FixedPalette, 256, 0, saved);
    EXPECT_EQ(all.palette, Table({kRed, kBlue}));
    EXPECT_EQ(all.indices, (std::vector<uint8_t>{0, 1, 1, 0}));
    Reduction one = Reduce(*image, QuantMode::FixedPalette, 1, 5, saved);  // equal use: the earlier entry goes
    EXPECT_EQ(one.palette, Table({kBlue}));
    EXPECT_EQ(one.indices, (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(QuantEngine, PreservedBaseColoursComeFirstAndStayExactWithAndWithoutDithering) {
    // (103, 150, 200) shares the cell of base colour (100, 150, 200), whose centre (107, 156, 206) becomes an
    // adaptive entry nearer to that centre than the base colour is; the base colour's pixels still keep it.
    const Rgb base0{100, 150, 200}, base1{30, 60, 90}, near0{103, 150, 200}, light{240, 240, 240};
    std::vector<Rgb> pixels = {base0, base1, light, base1, near0, light, near0, base0, base1};
    auto image = Row(pixels);
    for (uint16_t dither : {0, 5}) {
        Reduction r = Reduce(*image, QuantMode::PreserveBase, 4, dither, {{1, 2, 3}, base0, base1});
        EXPECT_EQ(r.palette, Table({base0, base1, {107, 156, 206}, {247, 247, 247}})) << dither;
        EXPECT_EQ(r.preserved, 2u);
        for (size_t i = 0; i < pixels.size(); ++i)
            if (pixels[i] == base0 || pixels[i] == base1) {
                EXPECT_EQ(r.indices[i], pixels[i] == base0 ? 0 : 1) << i;
            }
    }
}

TEST(QuantEngine, BaseColoursAsManyAsColoursAreAllKeptOnlyWhenNothingElseNeedsAnEntry) {
    const Rgb a{10, 20, 30}, b{200, 100, 50}, green{0, 255, 0};
    auto baseOnly = Row({a, b, a, b});
    Reduction all = Reduce(*baseOnly, QuantMode::PreserveBase, 2, 5, {a, b});
    EXPECT_EQ(all.palette, Table({a, b}));
    EXPECT_EQ(all.indices, (std::vector<uint8_t>{0, 1, 0, 1}));

    // Another colour needs an entry: the less used base colour gives way and its pixel is reduced with green.
    auto withOther = Row({a, b, a, green, a});
    Reduction trimmed = Reduce(*withOther, QuantMode::PreserveBase, 2, 0, {a, b});
    EXPECT_EQ(trimmed.palette, Table({a, {103, 181, 24}}));
    EXPECT_EQ(trimmed.preserved, 1u);
    EXPECT_EQ(trimmed.indices, (std::vector<uint8_t>{0, 1, 0, 1, 0}));
}

TEST(QuantEngine, EmptySourceGetsAOneEntryPaletteInEveryMode) {
    CvRGBImage empty(0, 0);
    for (QuantMode mode : {QuantMode::Adaptive, QuantMode::FixedPalette, QuantMode::PreserveBase}) {
        QuantParams params;
        params.mode = mode;
        params.palette = Table({kRed});
        QuantEngine engine;
        engine.SetSource(&empty);
        engine.SetParams(params);
        engine.Run(nullptr);
        ASSERT_NE(engine.Destination(), nullptr);
        EXPECT_EQ(engine.Destination()->GetWidth(), 0u);
        EXPECT_EQ(engine.Destination()->colorTable.GetCount(), 1u);
    }
}

TEST(QuantEngine, RefusesWhatItCannotReduce) {
    auto image = Row({kRed, kBlue});
    QuantEngine engine;
    CvIndexedImage grey(2, 1);
    EXPECT_THROW(engine.SetSource(&grey), CvErrorCode);
    engine.SetSource(image.get());
    CvIndexedImage wrongSize(1, 2);
    EXPECT_THROW(engine.Run(&wrongSize), CvErrorCode);
}

TEST(QuantEngine, DitherAmountsMapToStrengths) {
    const uint32_t expected[11] = {0, 2, 3, 5, 6, 8, 10, 11, 13, 14, 16};
    for (uint16_t d = 0; d <= 10; ++d) EXPECT_EQ(DitherStrength(d), expected[d]) << d;
    EXPECT_EQ(DitherStrength(255), 16u);
}
