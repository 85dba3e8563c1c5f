#include <gtest/gtest.h>

#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvUnique.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/RecordingIndicator.h"

namespace {
struct Color {
    uint8_t r, g, b;
    uint32_t usage;
};

// Entry i is used by `usage` pixels, all in cell i + 1, which the inverse map sends to entry i.
std::vector<uint8_t> Reduce(const std::vector<Color>& colors, uint16_t target, bool keepExact,
                            CvProgressIndicator* indicator = nullptr) {
    std::vector<uint32_t> histogram(kCellCount);
    std::vector<uint8_t> map(kCellCount);
    CvColorTable palette(uint32_t(colors.size()));
    for (uint32_t i = 0; i < colors.size(); ++i) {
        palette.SetEntry(i, colors[i].r, colors[i].g, colors[i].b);
        histogram[i + 1] = colors[i].usage;
        map[i + 1] = uint8_t(i);
    }
    CvUnique reducer(histogram.data(), map.data(), palette, target, keepExact, indicator);
    CvColorTable result;
    reducer.Reduce(result);
    return std::vector<uint8_t>(result.Entries(), result.Entries() + 3 * result.GetCount());
}

}  // namespace

TEST(CvUnique, UnusedEntriesDisappearWhateverTheTarget) {
    EXPECT_EQ(Reduce({{10, 20, 30, 4}, {50, 60, 70, 0}, {90, 100, 110, 1}}, 256, false),
              (std::vector<uint8_t>{10, 20, 30, 90, 100, 110}));
}

// Three entries share the dark bucket; the lone bright entry is the least used overall but the bucket phase
// takes its sources from the crowded bucket until every bucket holds one entry.
TEST(CvUnique, BucketPhaseBeforeGlobalPhase) {
    const std::vector<Color> colors = {{10, 10, 10, 5}, {20, 20, 20, 3}, {200, 200, 200, 1}, {30, 30, 30, 4}};
    // (20) merges into (10), the lower of two equally near entries: 13.75 truncates to 13.
    EXPECT_EQ(Reduce(colors, 3, false), (std::vector<uint8_t>{13, 13, 13, 200, 200, 200, 30, 30, 30}));
    // Then (30), now the least used in the bucket, merges into (13): 224 / 12 = 18.67.
    EXPECT_EQ(Reduce(colors, 2, false), (std::vector<uint8_t>{18, 18, 18, 200, 200, 200}));
    // Global phase: the bright entry goes last: (18·12 + 200) / 13 = 32.
    EXPECT_EQ(Reduce(colors, 1, false), (std::vector<uint8_t>{32, 32, 32}));
    // Exact colours: the survivors keep their palette colours.
    EXPECT_EQ(Reduce(colors, 2, true), (std::vector<uint8_t>{10, 10, 10, 200, 200, 200}));
}

TEST(CvUnique, SourceTiesFollowChainThenEntryOrder) {
    // Equal usage in one bucket: the chain lists the higher entry first, so (40) merges into (10).
    EXPECT_EQ(Reduce({{10, 10, 10, 2}, {200, 200, 200, 5}, {40, 40, 40, 2}}, 2, false),
              (std::vector<uint8_t>{25, 25, 25, 200, 200, 200}));
    // One entry per bucket: the global phase takes the lowest entry among equal usages, (100), into (10).
    EXPECT_EQ(Reduce({{10, 10, 10, 3}, {100, 100, 100, 1}, {200, 200, 200, 1}}, 2, false),
              (std::vector<uint8_t>{32, 32, 32, 200, 200, 200}));
}

TEST(CvUnique, StopRequestEndsWithError3) {
    RecordingIndicator indicator;
    indicator.stop = true;
    const std::vector<Color> colors = {{10, 10, 10, 5}, {20, 20, 20, 3}, {200, 200, 200, 1}};
    EXPECT_EQ(ErrorOf([&] { Reduce(colors, 1, false, &indicator); }), 3u);
}
