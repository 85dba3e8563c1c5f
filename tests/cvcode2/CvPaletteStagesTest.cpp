// The classic palette's stages: the 15-bit histogram, the median cut and the merge of unique colours, kept base
// colours, the inverse map and the exact nearest-entry search against a search of the whole palette, and remapping.
// Hand-computed means and orders; the searches are checked against the plain one, ties included.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvColorPreserve.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "cvcode2/CvNearestColor.h"
#include "cvcode2/CvNewMedianCut.h"
#include "cvcode2/CvQuantRemap.h"
#include "cvcode2/CvUnique.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/RecordingIndicator.h"

namespace {
using Bytes = std::vector<uint8_t>;

struct Cell {
    uint32_t r5, g5, b5, count;
};

Bytes MedianCut(const std::vector<Cell>& cells, uint32_t maxColors, CvProgressIndicator* indicator = nullptr) {
    std::vector<uint32_t> histogram(kCellCount);
    for (const Cell& c : cells) histogram[c.r5 << 10 | c.g5 << 5 | c.b5] = c.count;
    CvColorTable palette;
    CvNewMedianCut(indicator).MakePalette(palette, histogram.data(), maxColors);
    return TableBytes(palette);
}

// The heapsort as described, written independently: 1-based recursive sift-down on a copy.
void ReferenceHeapsort(std::vector<uint16_t>& cells, uint16_t mask) {
    std::vector<uint16_t> heap(1, 0);
    heap.insert(heap.end(), cells.begin(), cells.end());
    auto key = [&](size_t i) { return heap[i] & mask; };
    std::function<void(size_t, size_t)> sift = [&](size_t i, size_t n) {
        size_t child = 2 * i;
        if (child > n) return;
        if (child + 1 <= n && key(child + 1) > key(child)) child = child + 1;
        if (key(i) < key(child)) {
            std::swap(heap[i], heap[child]);
            sift(child, n);
        }
    };
    size_t n = cells.size();
    for (size_t i = n / 2; i >= 1; --i) sift(i, n);
    while (n > 1) {
        std::swap(heap[1], heap[n]);
        sift(1, --n);
    }
    cells.assign(heap.begin() + 1, heap.end());
}

struct Used {
    RgbTriple rgb;
    uint32_t usage;
};

// Entry i is used by `usage` pixels, all in cell i + 1, which the inverse map sends to entry i.
Bytes Unique(const std::vector<Used>& colors, uint16_t target, bool keepExact,
             CvProgressIndicator* indicator = nullptr) {
    std::vector<uint32_t> histogram(kCellCount);
    std::vector<uint8_t> map(kCellCount);
    std::vector<RgbTriple> entries;
    for (uint32_t i = 0; i < colors.size(); ++i) {
        entries.push_back(colors[i].rgb);
        histogram[i + 1] = colors[i].usage;
        map[i + 1] = uint8_t(i);
    }
    CvUnique reducer(histogram.data(), map.data(), PaletteOf(entries), target, keepExact, indicator);
    CvColorTable result;
    reducer.Reduce(result);
    return TableBytes(result);
}

CvColorTable RandomPalette(uint32_t count, uint32_t seed, uint32_t spread, uint32_t base) {
    CvColorTable palette(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t c[3];
        for (uint8_t& v : c) v = uint8_t(base + (seed = seed * 1103515245u + 12345u) % spread);
        palette.SetEntry(i, c[0], c[1], c[2]);
    }
    return palette;
}
}  // namespace

TEST(Cv15BitHist, LevelsRoundAndSaturateAndCountThroughOffsetsAndRowBytes) {
    EXPECT_EQ(ColorIndex15(244, 244, 244), 32767);
    EXPECT_EQ(ColorIndex15(243, 0, 0), 30 << 10);
    EXPECT_EQ(ColorIndex15(4, 0, 0), 1024);
    EXPECT_EQ(ColorIndex15(0, 11, 12), 1 << 5 | 2);
    uint8_t rgb[3];
    CellColor(16 << 10 | 31 << 5, rgb);
    EXPECT_EQ(Bytes(rgb, rgb + 3), (Bytes{132, 255, 0}));
    // Two rows of BGRX pixels with 3 padding bytes per row: (100,150,200), (255,0,0) / (100,150,200), black.
    const uint8_t pixels[] = {200, 150, 100, 9, 0, 0, 255, 9, 99, 99, 99, 200, 150, 100, 9, 0, 0, 0, 9, 99, 99, 99};
    std::vector<uint32_t> histogram(kCellCount, 77);
    BuildHistogram(pixels, 11, 2, 2, 2, 1, 0, 4, histogram.data());
    EXPECT_EQ(CountColors(histogram.data()), 3u);
    EXPECT_EQ(histogram[ColorIndex15(100, 150, 200)], 2u);
    EXPECT_EQ(histogram[31 << 10], 1u);
    EXPECT_EQ(histogram[0], 1u);
    // Ascending cell order, each the cell's colour rather than the pixel's.
    EXPECT_EQ(TableBytes(HistogramColors(histogram.data())), (Bytes{0, 0, 0, 107, 156, 206, 255, 0, 0}));
}

TEST(FoldNearBlack, MovesTheEightNearBlackCellsIntoBlack) {
    const uint8_t pixels[] = {8, 8, 8, 8, 8, 8, 0, 0, 0, 11, 0, 11, 12, 0, 0};
    std::vector<uint32_t> histogram(kCellCount);
    BuildHistogram(pixels, 15, 5, 1, 0, 1, 2, 3, histogram.data());
    FoldNearBlack(histogram.data());
    EXPECT_EQ(histogram[0], 4u);
    for (uint32_t cell : {1u, 32u, 33u, 1024u, 1025u, 1056u, 1057u}) EXPECT_EQ(histogram[cell], 0u) << cell;
    EXPECT_EQ(histogram[2 << 10], 1u);
    EXPECT_EQ(CountColors(histogram.data()), 2u);
}

TEST(CvNewMedianCut, CutsTheWidestAxisAtTheWeightedMedian) {
    const struct {
        std::vector<Cell> cells;
        uint32_t colors;
        Bytes expected;
    } cases[] = {
        // Few cells give their own colours in cell order.
        {{{31, 31, 31, 2}, {0, 0, 0, 1}, {16, 0, 1, 7}}, 3, {0, 0, 0, 132, 0, 8, 255, 255, 255}},
        // Red and green both span 0..4: green is cut, A and B below, C above; green mean 0.5 rounds up.
        {{{0, 0, 0, 1}, {4, 1, 0, 1}, {1, 4, 0, 2}}, 2, {16, 8, 0, 8, 33, 0}},
        // And blue over either.
        {{{0, 0, 0, 1}, {4, 4, 1, 1}, {1, 1, 4, 2}}, 2, {16, 16, 8, 8, 8, 33}},
        // The first cell holds half the pixels: cut after it, the median cell stays below; the upper half's mean
        // level 6 is 49.
        {{{0, 0, 0, 10}, {4, 0, 0, 1}, {8, 0, 0, 1}}, 2, {0, 0, 0, 49, 0, 0}},
        // Never a half left empty.
        {{{0, 0, 0, 1}, {4, 0, 0, 1}, {8, 0, 0, 10}}, 2, {16, 0, 0, 66, 0, 0}},
        // Halves {0, 2} and {8, 10} both span 16 in 8-bit units: the earlier box is cut again, its upper half
        // appended.
        {{{0, 0, 0, 1}, {2, 0, 0, 1}, {8, 0, 0, 1}, {10, 0, 0, 1}}, 3, {0, 0, 0, 74, 0, 0, 16, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(MedianCut(c.cells, c.colors), c.expected) << &c - cases;
    RecordingIndicator indicator;
    indicator.stopAt = 2;
    EXPECT_THROW(MedianCut(cases[5].cells, 3, &indicator), CvErrorCode);
    EXPECT_EQ(indicator.calls, (std::vector<std::string>{"start Quantizing", "update 2", "error 3"}));
}

TEST(CvNewMedianCut, HeapsortPlacesEqualKeysLikeTheDescribedHeapsort) {
    std::mt19937 random(12345);
    const uint16_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    for (int round = 0; round < 600; ++round) {
        const uint32_t n = 1 + random() % (round < 500 ? 40 : 3000);
        const uint32_t spread = 1 + random() % 6;  // few distinct levels: many equal keys
        std::vector<uint16_t> cells(n);
        for (uint16_t& c : cells) {
            uint32_t level = random() % spread;
            c = uint16_t(random() & 0x7FFF);
            c = uint16_t((c & ~masks[round % 3]) | (level * 0x0421u & masks[round % 3]));
        }
        std::vector<uint16_t> expected = cells;
        ReferenceHeapsort(expected, masks[round % 3]);
        CvNewMedianCut::SortCells(cells.data(), n, round % 3);
        ASSERT_EQ(cells, expected) << "round " << round;
    }
}

// The bucket phase takes its sources from the crowded bucket until every bucket holds one entry, then the global
// phase merges the least used; merged colours are usage-weighted means, truncated.
TEST(CvUnique, MergesTheLeastUsedBucketFirstThenGlobally) {
    const std::vector<Used> four = {{{10, 10, 10}, 5}, {{20, 20, 20}, 3}, {{200, 200, 200}, 1}, {{30, 30, 30}, 4}};
    const struct {
        std::vector<Used> colors;
        uint16_t target;
        bool exact;
        Bytes expected;
    } cases[] = {
        // Unused entries go whatever the target.
        {{{{10, 20, 30}, 4}, {{50, 60, 70}, 0}, {{90, 100, 110}, 1}}, 256, false, {10, 20, 30, 90, 100, 110}},
        // The bucket phase first: (20) merges into (10), the lower of two equally near entries; 13.75 truncates.
        {four, 3, false, {13, 13, 13, 200, 200, 200, 30, 30, 30}},
        // Then (30), now the least used in the bucket, merges into (13): 224 / 12 = 18.67.
        {four, 2, false, {18, 18, 18, 200, 200, 200}},
        // The global phase takes the bright one last: (18 x 12 + 200) / 13.
        {four, 1, false, {32, 32, 32}},
        // Exact colours keep the survivors' own colours.
        {four, 2, true, {10, 10, 10, 200, 200, 200}},
        // Equal usage in a bucket: the chain lists the higher entry first.
        {{{{10, 10, 10}, 2}, {{200, 200, 200}, 5}, {{40, 40, 40}, 2}}, 2, false, {25, 25, 25, 200, 200, 200}},
        // One entry per bucket: the lowest entry among equal usages goes.
        {{{{10, 10, 10}, 3}, {{100, 100, 100}, 1}, {{200, 200, 200}, 1}}, 2, false, {32, 32, 32, 200, 200, 200}},
    };
    for (const auto& c : cases) EXPECT_EQ(Unique(c.colors, c.target, c.exact), c.expected) << &c - cases;
    RecordingIndicator stopping;
    stopping.stop = true;
    EXPECT_EQ(ErrorOf([&] { Unique(four, 1, false, &stopping); }), 3u);
}

// Every cell maps to what a search of the whole palette gives (the lowest index of least distance); coarse values
// make many exact ties.
TEST(MakeInvColorMap, MatchesAnExhaustiveSearchOfEveryCell) {
    std::mt19937 random(99);
    for (uint32_t count : {1u, 2u, 7u, 255u, 256u}) {
        std::vector<RgbTriple> entries(count);
        for (RgbTriple& e : entries)
            for (uint8_t& v : e) v = uint8_t(count > 100 ? random() : random() % 5 * 64);
        CvColorTable palette = PaletteOf(entries);
        std::vector<uint8_t> map(kCellCount);
        MakeInvColorMap(&palette, map.data());
        for (uint32_t cell = 0; cell < kCellCount; ++cell) {
            uint8_t c[3];
            CellColor(cell, c);
            ASSERT_EQ(map[cell], palette.FindNearest(CvColorTable::Pack(c[0], c[1], c[2]), -1)) << count << " " << cell;
        }
    }
    CvColorTable empty;
    std::vector<uint8_t> map(kCellCount);
    EXPECT_THROW(MakeInvColorMap(&empty, map.data()), CvErrorCode);
}

// Palettes spread over the whole cube, crowded into a corner (long candidate lists) and with repeated entries:
// every colour tried, cell corners included, gets what a search of the whole palette gives, and its distance.
TEST(CvNearestColor, AgreesWithASearchOfTheWholePalette) {
    CvColorTable repeated = RandomPalette(64, 7, 256, 0);
    repeated.SetCount(128);
    for (uint32_t i = 64; i < 128; ++i) repeated.SetEntry(i, repeated.Entry(127 - i)[0], 9, repeated.Entry(i - 64)[2]);
    for (const CvColorTable& palette : {RandomPalette(256, 1, 256, 0), RandomPalette(256, 2, 24, 100),
                                        RandomPalette(3, 3, 256, 0), repeated, PaletteOf({{1, 2, 3}})}) {
        CvNearestColor nearest(palette);
        uint32_t seed = 11;
        for (int i = 0; i < 60000; ++i) {
            seed = seed * 1103515245u + 12345u;
            uint8_t r = uint8_t(seed >> 24), g = uint8_t(seed >> 16), b = uint8_t(seed >> 8);
            if (i % 4 == 0) r |= 3, g &= ~3u, b |= 7;  // corners of the search cells
            const uint32_t want = palette.FindNearest(CvColorTable::Pack(r, g, b), -1);
            uint32_t distance;
            const uint32_t entry = nearest.Entry(r, g, b, distance);
            ASSERT_EQ(entry & 255, want) << int(r) << "," << int(g) << "," << int(b);
            const uint8_t* colour = palette.Entry(want);
            ASSERT_EQ(entry >> 8, uint32_t(colour[0] | colour[1] << 8 | colour[2] << 16));  // the colour comes along
            const uint8_t rgb[3] = {r, g, b};
            ASSERT_EQ(distance, CvColorTable::Distance(colour, rgb));
            ASSERT_EQ(nearest.Index(r, g, b), want);
        }
    }
    CvNearestColor ties(PaletteOf({{10, 0, 0}, {0, 0, 0}, {20, 0, 0}, {10, 0, 0}}));
    for (uint8_t r : {5, 10, 15}) EXPECT_EQ(ties.Index(r, 0, 0), 0u) << int(r);  // equally near: the lower index
}

TEST(CvQuantRemap, EntryInThePixelsOctantWinsOverANearerOneElsewhere) {
    // (127, 127, 127) shares the low octant with black, far away; grey 128 is nearer but in the high octant.
    // No entry shares the octant of (200, 30, 30), so the whole palette is searched there.
    auto image = RgbRow({{127, 127, 127}, {250, 250, 250}, {0, 0, 0}, {200, 30, 30}});
    CvQuantRemap remap;
    remap.SetPalette(PaletteOf({{0, 0, 0}, {128, 128, 128}}));
    remap.SetDither(0);
    remap.SetSource(image.get());
    std::unique_ptr<CvIndexedImage> out(remap.Remap(nullptr));
    EXPECT_EQ(IndexBytes(*out), (Bytes{0, 1, 0, 1}));
    EXPECT_EQ(out->colorTable.GetCount(), 2u);
    // The asymmetric picture into a given image, each pixel to its own colour of a reversed palette.
    CvRGBImage picture(3, 2);
    Paint(picture);
    std::vector<RgbTriple> reversed;
    for (uint32_t i = 0; i < 6; ++i) reversed.push_back(Expected(2 - i % 3, 1 - i / 3));
    remap.SetPalette(PaletteOf(reversed));
    remap.SetSource(&picture);
    CvIndexedImage given(3, 2);
    EXPECT_EQ(remap.Remap(&given), &given);
    EXPECT_EQ(IndexBytes(given), (Bytes{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(given.colorTable, PaletteOf(reversed));
    CvIndexedImage wrongSize(2, 3);
    EXPECT_THROW(remap.Remap(&wrongSize), CvErrorCode);
}

TEST(CvColorPreserve, KeepsTheMostFrequentExactColoursMarksThemAndTakesThemOutOfTheHistogram) {
    const std::vector<RgbTriple> base = {{10, 20, 30}, {200, 100, 50}, {0, 128, 255}, {77, 77, 77}, {250, 10, 10}};
    const uint32_t counts[5] = {10, 3, 7, 3, 9};
    std::vector<RgbTriple> pixels;
    for (uint32_t i = 0; i < 5; ++i) pixels.insert(pixels.end(), counts[i], base[i]);
    pixels.push_back({11, 20, 30});  // in the cell of the first base colour, but not equal to it
    auto image = RgbRow(pixels);

    CvColorPreserve preserve;
    preserve.SetBaseColors(PaletteOf(base), 4);
    preserve.CheckBaseColors(*image);
    EXPECT_EQ(preserve.FoundPixels(), 32u);
    preserve.SelectFound(4);  // the first of the two 3s goes
    EXPECT_EQ(preserve.FoundColors(), PaletteOf({base[0], base[2], base[3], base[4]}));

    std::vector<uint32_t> histogram(kCellCount);
    BuildHistogram(CvPixelLock(*image).Pixels(), image->RowBytes(), image->GetWidth(), 1, 0, 1, 2, 3, histogram.data());
    preserve.SubtractFound(histogram.data());
    EXPECT_EQ(histogram[ColorIndex15(10, 20, 30)], 1u);    // only the near pixel is left in that cell
    EXPECT_EQ(histogram[ColorIndex15(200, 100, 50)], 3u);  // the dropped colour stays
    EXPECT_EQ(CountColors(histogram.data()), 2u);

    preserve.CreateMask(*image);
    for (uint32_t x = 0; x < image->GetWidth(); ++x)  // a set bit reads black with the default polarity
        EXPECT_EQ(!preserve.Mask()->IsWhite(x, 0), x < 10 || (x >= 13 && x < 32)) << x;
}
