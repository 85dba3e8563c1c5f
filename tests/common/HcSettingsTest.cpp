#include "common/hcsettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <tuple>

#include "common/HcGlobals.h"
#include "cvcode2/CvString.h"

namespace {

struct DefaultsFixture : ::testing::Test {
    HcGlobals globals{};
    void SetUp() override { SetDefaults(globals); }
    void TearDown() override {
        FreePaletteList(globals.paletteList);
        FreeColorList(globals.colorList);
    }
    const HcPaletteEntry& Palette(const char* name) {
        unsigned char pascal[256];
        CvPStrFromC(pascal, name);
        const HcPaletteEntry* entry = FindPalette(globals, pascal);
        EXPECT_NE(entry, nullptr) << name;
        return *entry;
    }
};

std::tuple<int, int, int> Color(const HcPaletteEntry& entry, int i) {
    return {entry.colors[i][0], entry.colors[i][1], entry.colors[i][2]};
}

}  // namespace

// The default settings and the built-in palettes' names and order are pinned byte by byte by the
// preferences tests; these tests pin the palettes' colours.
TEST_F(DefaultsFixture, NetscapeIsTheWebCubeThenWhite) {
    const HcPaletteEntry& netscape = Palette("Netscape");
    std::set<std::tuple<int, int, int>> distinct;
    for (int i = 0; i < 256; ++i) distinct.insert(Color(netscape, i));
    EXPECT_EQ(distinct.size(), 216u);
    EXPECT_EQ(Color(netscape, 0), std::make_tuple(0, 0, 0));
    EXPECT_EQ(Color(netscape, 1), std::make_tuple(0, 0, 51));
    EXPECT_EQ(Color(netscape, 36), std::make_tuple(51, 0, 0));
    EXPECT_EQ(Color(netscape, 215), std::make_tuple(255, 255, 255));
    for (int i = 216; i < 256; ++i) EXPECT_EQ(Color(netscape, i), std::make_tuple(255, 255, 255));
}

TEST_F(DefaultsFixture, GrayscaleRunsFromWhiteToBlack) {
    const HcPaletteEntry& gray = Palette("Grayscale");
    EXPECT_EQ(Color(gray, 0), std::make_tuple(255, 255, 255));
    EXPECT_EQ(Color(gray, 100), std::make_tuple(155, 155, 155));
    EXPECT_EQ(Color(gray, 255), std::make_tuple(0, 0, 0));
}

TEST_F(DefaultsFixture, SystemPaletteKeepsItsOddBluesAndRamps) {
    const HcPaletteEntry& system = Palette("System");
    // Entries 128..146 break the plain cube's blues (151, not 153); their neighbour 127 does not.
    const std::pair<int, std::tuple<int, int, int>> expected[] = {
        {0, {255, 255, 255}}, {1, {255, 255, 204}}, {214, {0, 0, 51}}, {128, {102, 102, 151}},
        {134, {102, 51, 151}}, {140, {102, 0, 151}}, {146, {51, 255, 151}}, {127, {102, 102, 204}},
        {215, {238, 0, 0}}, {224, {17, 0, 0}}, {225, {0, 238, 0}}, {244, {0, 0, 17}},
        {245, {238, 238, 238}}, {255, {0, 0, 0}},
    };
    for (const auto& [index, color] : expected) EXPECT_EQ(Color(system, index), color) << index;
}

TEST_F(DefaultsFixture, DefaultsReplaceSavedListsWithoutLeaking) {
    globals.colorList = NewColorEntry();
    SetDefaults(globals);
    EXPECT_EQ(globals.colorList, nullptr);
    EXPECT_NE(globals.paletteList, nullptr);
}

TEST(DepthList, PositionIsTheSmallestDepthHoldingTheCount) {
    const std::pair<int, int> cases[] = {{0, 0}, {129, 0}, {128, 1}, {65, 1}, {64, 2}, {17, 3},
                                         {9, 4},  {5, 5},   {4, 6},   {3, 6},  {2, 7},  {1, 7}};
    for (auto [colors, position] : cases) EXPECT_EQ(DepthPositionForColors(colors), position) << colors;
}
