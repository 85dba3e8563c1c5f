// The palette and fine stages by themselves: stop requests, fine dithering's unsafe setups, the median cut's
// heapsort, the inverse map and the exact nearest-entry search against plain searches, and remapping. Their bytes on
// whole runs are pinned by the engine's table of whole runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvDiffusionFit.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFineDither.h"
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
const CvColorTable kBlackWhite = PaletteOf({{0, 0, 0}, {255, 255, 255}});

// A picture of one colour and the indices fine dithering writes for it, 0xEE where it wrote none.
struct Picture {
    uint32_t width, height;
    Bytes rgb, out;
    Picture(uint32_t w, uint32_t h, RgbTriple colour)
        : width(w), height(h), rgb(size_t(w) * h * 3), out(size_t(w) * h, 0xEE) {
        for (size_t i = 0; i < size_t(w) * h; ++i) std::copy(colour.begin(), colour.end(), &rgb[3 * i]);
    }
    CvFineDitherSetup Setup(uint32_t strength) {
        return {strength, &kBlackWhite, rgb.data(), out.data(), width * 3, width, width, height, nullptr};
    }
};

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

// Values base + step x (0 .. spread - 1); a coarse step makes many exact ties.
CvColorTable RandomPalette(uint32_t count, uint32_t seed, uint32_t spread, uint32_t base, uint32_t step = 1) {
    CvColorTable palette(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t c[3];
        for (uint8_t& v : c) v = uint8_t(base + (seed = seed * 1103515245u + 12345u) % spread * step);
        palette.SetEntry(i, c[0], c[1], c[2]);
    }
    return palette;
}
}  // namespace

// Each stage stops with error 3 at the report that asked: the median cut at its second cut, the merge of unique
// colours, fine dithering at the report after the row that reaches 2000 pixels (the rows after it stay unwritten)
// and the fit to the diffusion at its first report.
TEST(PaletteStages, EachStageStopsAtTheReportThatAskedAndFineDitheringRefusesUnsafeSetups) {
    std::vector<uint32_t> histogram(kCellCount);
    for (uint32_t red : {0u, 2u, 8u, 10u}) histogram[red << 10] = 1;
    RecordingIndicator indicator;
    indicator.stopAt = 2;
    CvColorTable palette;
    EXPECT_THROW(CvNewMedianCut(&indicator).MakePalette(palette, histogram.data(), 3), CvErrorCode);
    EXPECT_EQ(indicator.calls, (std::vector<std::string>{"start Quantizing", "update 2", "error 3"}));
    // Three entries, each used by the pixels of one cell, merged down to one.
    std::vector<uint8_t> map(kCellCount);
    for (uint8_t i = 0; i < 3; ++i) histogram[i + 1] = 5u - i, map[i + 1] = i;
    const CvColorTable entries = PaletteOf({{10, 10, 10}, {20, 20, 20}, {200, 200, 200}});
    RecordingIndicator stopping;
    stopping.stop = true;
    CvUnique merge(histogram.data(), map.data(), entries, 1, false, &stopping);
    EXPECT_EQ(ErrorOf([&] { merge.Reduce(palette); }), 3u);
    stopping.calls.clear();
    Picture picture(100, 50, {90, 60, 30});
    CvNearestColor nearest(kBlackWhite);
    EXPECT_EQ(ErrorOf([&] { FineDither(nearest, picture.Setup(8), &stopping); }), 3u);
    EXPECT_EQ(stopping.calls, (std::vector<std::string>{"start Remapping", "update 2000", "error 3"}));
    EXPECT_EQ(std::count(picture.out.begin(), picture.out.end(), 0xEE), 5000 - 2000);
    stopping.calls.clear();
    Bytes ramp(256 * 40 * 3);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(i / 3 % 256);
    EXPECT_EQ(ErrorOf([&] { CvDiffusionFit(&stopping).Fit(kBlackWhite, 0, ramp.data(), 256 * 3, 256, 40); }), 3u);
    EXPECT_EQ(stopping.calls, (std::vector<std::string>{"start Refining", "update 1", "error 3"}));
    // Setups fine dithering cannot use safely are refused before anything is written.
    Picture small(9, 2, {1, 2, 3});
    const CvFineDitherSetup good = small.Setup(8);
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

// Palettes spread over the whole cube, crowded into a corner (long candidate lists), with repeated entries and of
// coarse values: the inverse map gives every cell, and the exact search every colour tried (cell corners included),
// what a search of the whole palette gives (the lowest index of least distance), and its distance.
TEST(NearestEntry, InverseMapAndExactSearchAgreeWithASearchOfTheWholePalette) {
    CvColorTable repeated = RandomPalette(64, 7, 256, 0);
    repeated.SetCount(128);
    for (uint32_t i = 64; i < 128; ++i) repeated.SetEntry(i, repeated.Entry(127 - i)[0], 9, repeated.Entry(i - 64)[2]);
    std::vector<uint8_t> map(kCellCount);  // every cell rewritten for each palette
    for (const CvColorTable& palette :
         {RandomPalette(256, 1, 256, 0), RandomPalette(256, 2, 24, 100), RandomPalette(3, 3, 256, 0), repeated,
          PaletteOf({{1, 2, 3}}), RandomPalette(2, 4, 5, 0, 63), RandomPalette(7, 5, 5, 0, 63),
          RandomPalette(255, 6, 5, 0, 63)}) {
        MakeInvColorMap(&palette, map.data());
        for (uint32_t cell = 0; cell < kCellCount; ++cell) {
            uint8_t c[3];
            CellColor(cell, c);
            ASSERT_EQ(map[cell], palette.FindNearest(CvColorTable::Pack(c[0], c[1], c[2]), -1))
                << palette.GetCount() << " " << cell;
        }
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
    CvColorTable empty;
    EXPECT_THROW(MakeInvColorMap(&empty, map.data()), CvErrorCode);
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
