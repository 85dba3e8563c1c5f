#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvNewMedianCut.h"
#include "tests/support/RecordingIndicator.h"

namespace {
struct Cell {
    uint32_t r5, g5, b5, count;
};

std::vector<uint8_t> MedianCut(const std::vector<Cell>& cells, uint32_t maxColors,
                               CvProgressIndicator* indicator = nullptr) {
    std::vector<uint32_t> histogram(kCellCount);
    for (const Cell& c : cells) histogram[c.r5 << 10 | c.g5 << 5 | c.b5] = c.count;
    CvNewMedianCut cut(indicator);
    CvColorTable palette;
    cut.MakePalette(palette, histogram.data(), maxColors);
    return std::vector<uint8_t>(palette.Entries(), palette.Entries() + 3 * palette.GetCount());
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

}  // namespace

TEST(CvNewMedianCut, FewCellsGiveTheirOwnColoursInCellOrder) {
    EXPECT_EQ(MedianCut({{31, 31, 31, 2}, {0, 0, 0, 1}, {16, 0, 1, 7}}, 3),
              (std::vector<uint8_t>{0, 0, 0, 132, 0, 8, 255, 255, 255}));
}

// A cells' level order along each axis differs, and so does the half each cut keeps.
TEST(CvNewMedianCut, EqualRangesCutGreenOverRedAndBlueOverEither) {
    // Red and green both span 0..4: green is cut, A and B below, C above; green mean 0.5 rounds up.
    EXPECT_EQ(MedianCut({{0, 0, 0, 1}, {4, 1, 0, 1}, {1, 4, 0, 2}}, 2), (std::vector<uint8_t>{16, 8, 0, 8, 33, 0}));
    // All three span 0..4: blue is cut.
    EXPECT_EQ(MedianCut({{0, 0, 0, 1}, {4, 4, 1, 1}, {1, 1, 4, 2}}, 2), (std::vector<uint8_t>{16, 16, 8, 8, 8, 33}));
}

TEST(CvNewMedianCut, CutsAtTheWeightedMedianButNeverLeavesAHalfEmpty) {
    // The first cell holds half the pixels: cut after it; the upper half's mean level 6 is 49.
    EXPECT_EQ(MedianCut({{0, 0, 0, 10}, {4, 0, 0, 1}, {8, 0, 0, 1}}, 2), (std::vector<uint8_t>{0, 0, 0, 49, 0, 0}));
    // Only the last cell reaches half: cut before it.
    EXPECT_EQ(MedianCut({{0, 0, 0, 1}, {4, 0, 0, 1}, {8, 0, 0, 10}}, 2), (std::vector<uint8_t>{16, 0, 0, 66, 0, 0}));
}

TEST(CvNewMedianCut, EqualBoxRangesCutTheEarlierBoxAndAppendTheUpperHalf) {
    // Halves {0, 2} and {8, 10} both span 16 in 8-bit units; the lower box is cut again.
    EXPECT_EQ(MedianCut({{0, 0, 0, 1}, {2, 0, 0, 1}, {8, 0, 0, 1}, {10, 0, 0, 1}}, 3),
              (std::vector<uint8_t>{0, 0, 0, 74, 0, 0, 16, 0, 0}));
}

TEST(CvNewMedianCut, StopRequestDuringCuttingEndsWithError3) {
    RecordingIndicator indicator;
    indicator.stopAt = 2;
    EXPECT_THROW(MedianCut({{0, 0, 0, 1}, {2, 0, 0, 1}, {8, 0, 0, 1}, {10, 0, 0, 1}}, 3, &indicator), CvErrorCode);
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
