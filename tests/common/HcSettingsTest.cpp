#include <gtest/gtest.h>

#include <utility>

#include "common/HcGlobals.h"
#include "common/hcsettings.h"

// The default settings and the built-in palettes, colours included, are pinned byte by byte by the
// preferences tests.
TEST(SetDefaults, ReplacesSavedListsWithoutLeaking) {
    HcGlobals globals{};
    globals.colorList = NewColorEntry();
    SetDefaults(globals);
    EXPECT_EQ(globals.colorList, nullptr);
    EXPECT_NE(globals.paletteList, nullptr);
    FreePaletteList(globals.paletteList);
}

TEST(DepthList, PositionIsTheSmallestDepthHoldingTheCount) {
    const std::pair<int, int> cases[] = {{0, 0}, {129, 0}, {128, 1}, {65, 1}, {64, 2}, {17, 3},
                                         {9, 4}, {5, 5},   {4, 6},   {3, 6},  {2, 7},  {1, 7}};
    for (auto [colors, position] : cases) EXPECT_EQ(DepthPositionForColors(colors), position) << colors;
}
