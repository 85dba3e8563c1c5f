#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvMakeInvColorMap.h"

namespace {
CvColorTable Palette(const std::vector<uint8_t>& rgb) {
    CvColorTable table(uint32_t(rgb.size() / 3));
    for (uint32_t i = 0; i < table.GetCount(); ++i) table.SetEntry(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return table;
}
}  // namespace

TEST(MakeInvColorMap, OneEntryMapsEveryCellToIt) {
    CvColorTable palette = Palette({200, 10, 30});
    std::vector<uint8_t> map(kCellCount, 9);
    MakeInvColorMap(&palette, map.data());
    EXPECT_EQ(map, std::vector<uint8_t>(kCellCount, 0));
}

TEST(MakeInvColorMap, EqualDistancesGoToTheLowerIndex) {
    // The cell of level 1 red has colour (8, 0, 0), 64 away from both (0, 0, 0) and (16, 0, 0).
    for (const auto& rgb : {std::vector<uint8_t>{0, 0, 0, 16, 0, 0}, std::vector<uint8_t>{16, 0, 0, 0, 0, 0},
                            std::vector<uint8_t>{7, 7, 7, 7, 7, 7}}) {
        CvColorTable palette = Palette(rgb);
        std::vector<uint8_t> map(kCellCount);
        MakeInvColorMap(&palette, map.data());
        EXPECT_EQ(map[1 << 10], 0);
    }
}

TEST(MakeInvColorMap, MatchesAnExhaustiveSearchOfEveryCell) {
    std::mt19937 random(99);
    for (uint32_t count : {2u, 7u, 255u, 256u}) {
        std::vector<uint8_t> rgb(3 * count);
        // Coarse values make many exact ties.
        for (uint8_t& v : rgb) v = uint8_t(count > 100 ? random() : random() % 5 * 64);
        CvColorTable palette = Palette(rgb);
        std::vector<uint8_t> map(kCellCount);
        MakeInvColorMap(&palette, map.data());
        for (uint32_t cell = 0; cell < kCellCount; ++cell) {
            uint8_t c[3];
            CellColor(cell, c);
            ASSERT_EQ(map[cell], palette.FindNearest(CvColorTable::Pack(c[0], c[1], c[2]), -1)) << count << " " << cell;
        }
    }
}

TEST(MakeInvColorMap, EmptyPaletteIsRefused) {
    CvColorTable empty;
    std::vector<uint8_t> map(kCellCount);
    EXPECT_THROW(MakeInvColorMap(&empty, map.data()), CvErrorCode);
}
