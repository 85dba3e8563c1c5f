// The palette stages: the 15-bit histogram, the median cut and the merge of unique colours, the fine palette's
// histogram, cut and k-means passes (tiny inputs in a data table, hand-computed), kept base colours, the inverse map
// and the exact nearest-entry search against a search of the whole palette, and remapping.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvColorPreserve.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFineHist.h"
#include "cvcode2/CvKMeansRefine.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "cvcode2/CvNearestColor.h"
#include "cvcode2/CvNewMedianCut.h"
#include "cvcode2/CvQuantRemap.h"
#include "cvcode2/CvUnique.h"
#include "cvcode2/CvVarianceCut.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/RecordingIndicator.h"
#include "tests/support/TestPaths.h"

namespace {
using Bytes = std::vector<uint8_t>;

// The median cut of a histogram whose cells "r5 g5 b5 count" hold pixels.
Bytes MedianCut(const std::vector<std::vector<int>>& cells, uint32_t maxColors,
                CvProgressIndicator* indicator = nullptr) {
    std::vector<uint32_t> histogram(kCellCount);
    for (const std::vector<int>& c : cells) histogram[c.at(0) << 10 | c.at(1) << 5 | c.at(2)] = uint32_t(c.at(3));
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

// Entry i, "r g b usage", is used by `usage` pixels, all in cell i + 1, which the inverse map sends to entry i.
Bytes Unique(const std::vector<std::vector<int>>& colors, uint16_t target, bool keepExact,
             CvProgressIndicator* indicator = nullptr) {
    std::vector<uint32_t> histogram(kCellCount);
    std::vector<uint8_t> map(kCellCount);
    CvColorTable entries(uint32_t(colors.size()));
    for (uint32_t i = 0; i < colors.size(); ++i) {
        entries.SetEntry(i, uint8_t(colors[i].at(0)), uint8_t(colors[i].at(1)), uint8_t(colors[i].at(2)));
        histogram[i + 1] = uint32_t(colors[i].at(3));
        map[i + 1] = uint8_t(i);
    }
    CvUnique reducer(histogram.data(), map.data(), entries, target, keepExact, indicator);
    CvColorTable result;
    reducer.Reduce(result);
    return TableBytes(result);
}

// Weighted colours "r g b count, ..." (no count: 0).
std::vector<CvWeightedColor> Weighted(const std::string& cell) {
    std::vector<CvWeightedColor> colours;
    for (const std::vector<int>& c : NumberGroups(cell))
        colours.push_back({float(c.at(0)), float(c.at(1)), float(c.at(2)), uint32_t(c.size() > 3 ? c[3] : 0)});
    return colours;
}

// A stage's result as a data table writes it: "r g b, ..." for palette bytes, "r g b xcount, ..." for weighted
// colours.
std::string Text(const Bytes& palette) {
    std::ostringstream text;
    for (size_t i = 0; i < palette.size(); i += 3)
        text << (i ? ", " : "") << int(palette[i]) << " " << int(palette[i + 1]) << " " << int(palette[i + 2]);
    return text.str();
}

std::string Text(const std::vector<CvWeightedColor>& colors) {
    std::ostringstream text;
    for (const CvWeightedColor& c : colors)
        text << (&c == colors.data() ? "" : ", ") << c.r << " " << c.g << " " << c.b << " x" << c.count;
    return text.str();
}

using Row = std::vector<std::string>;
// Each stage, run on a row of tests/data/engine/palette-stages.txt: input, target, option; its result as text.
const std::map<std::string, std::function<std::string(const Row&)>> kStages = {
    {"median-cut", [](const Row& row) { return Text(MedianCut(NumberGroups(row[1]), uint32_t(std::stoul(row[2])))); }},
    {"unique",
     [](const Row& row) {
         return Text(Unique(NumberGroups(row[1]), uint16_t(std::stoul(row[2])), row[3] == "exact"));
     }},
    {"variance-cut",
     [](const Row& row) {
         std::vector<CvWeightedColor> colors = Weighted(row[1]);
         return Text(CvVarianceCut(nullptr).Cut(colors, uint32_t(std::stoul(row[2]))));
     }},
    {"k-means",
     [](const Row& row) {
         std::vector<CvWeightedColor> centres = Weighted(row[2]);
         CvKMeansRefine(nullptr).Refine(Weighted(row[1]), centres, 1);
         return Text(centres) + " -> " + Text(TableBytes(CvKMeansRefine::ToTable(centres)));
     }},
    {"fine-hist",
     [](const Row& row) {
         CvFineHist histogram;
         for (const RgbTriple& pixel : ColoursOf(row[1])) histogram.Add(pixel.data(), 3, 1, 1, 0, 1, 2, 3);
         for (const RgbTriple& taken : ColoursOf(row[2])) histogram.Subtract(taken.data(), 1);
         return Text(histogram.Colors());
     }},
};

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

// Tiny inputs of the median cut, the merge of unique colours and the fine palette's stages, each row with its
// result worked out by hand and what it guards.
TEST(PaletteStages, TinyInputsGiveTheHandComputedResults) {
    for (const Row& row : DataTable("engine/palette-stages.txt")) {
        SCOPED_TRACE(row[0] + " of " + row[1] + " to " + row[2]);
        EXPECT_EQ(kStages.at(row[0])(row), row[4]);
    }
}

// The median cut reports its cuts and stops when asked; so does the merge of unique colours.
TEST(PaletteStages, MedianCutAndUniqueStopWhenAsked) {
    RecordingIndicator indicator;
    indicator.stopAt = 2;
    EXPECT_THROW(MedianCut(NumberGroups("0 0 0 1, 2 0 0 1, 8 0 0 1, 10 0 0 1"), 3, &indicator), CvErrorCode);
    EXPECT_EQ(indicator.calls, (std::vector<std::string>{"start Quantizing", "update 2", "error 3"}));
    RecordingIndicator stopping;
    stopping.stop = true;
    EXPECT_EQ(ErrorOf([&] { Unique(NumberGroups("10 10 10 5, 20 20 20 3, 200 200 200 1"), 1, false, &stopping); }), 3u);
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
