#include "common/hcsettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
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

TEST_F(DefaultsFixture, SettingsStartAdaptiveUndiffusedOpaque) {
    const HcSettings& s = globals.settings;
    EXPECT_EQ(s.colors, 256);
    EXPECT_EQ(s.dither, 0);
    EXPECT_EQ(s.transparencyType, TransparencyType::none);
    EXPECT_EQ(s.interlaced, 0);
    EXPECT_EQ(s.headerFlag, 1u);
    EXPECT_EQ(s.headerWord, 1);
    EXPECT_EQ(s.bgColor[0], 128);
    EXPECT_EQ(s.bgColor[2], 128);
    EXPECT_EQ(s.comment[0], 0);
    EXPECT_EQ(CvString(globals.paletteName), CvString("Custom"));
    EXPECT_EQ(CvString(globals.basePaletteName), CvString("None"));
    EXPECT_EQ(globals.colorList, nullptr);
    EXPECT_EQ(globals.prefFlag1 + globals.prefFlag2 + globals.prefFlag3, 3);
}

TEST_F(DefaultsFixture, BuiltInPalettesInOrderWithTheirListIndexes) {
    const HcPaletteEntry* entry = globals.paletteList;
    const char* names[] = {"Netscape", "Grayscale", "System"};
    for (int i = 0; i < 3; ++i, entry = entry->next) {
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(CvString(entry->name), CvString(names[i]));
        EXPECT_EQ(entry->listIndex, 3 + i);
        EXPECT_EQ(entry->count, 256u);
    }
    EXPECT_EQ(entry, nullptr);
}

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
    EXPECT_EQ(Color(system, 0), std::make_tuple(255, 255, 255));
    EXPECT_EQ(Color(system, 1), std::make_tuple(255, 255, 204));
    EXPECT_EQ(Color(system, 214), std::make_tuple(0, 0, 51));
    EXPECT_EQ(Color(system, 128), std::make_tuple(102, 102, 151));
    EXPECT_EQ(Color(system, 134), std::make_tuple(102, 51, 151));
    EXPECT_EQ(Color(system, 140), std::make_tuple(102, 0, 151));
    EXPECT_EQ(Color(system, 146), std::make_tuple(51, 255, 151));
    EXPECT_EQ(Color(system, 127), std::make_tuple(102, 102, 204));  // neighbours are the plain cube
    EXPECT_EQ(Color(system, 215), std::make_tuple(238, 0, 0));
    EXPECT_EQ(Color(system, 224), std::make_tuple(17, 0, 0));
    EXPECT_EQ(Color(system, 225), std::make_tuple(0, 238, 0));
    EXPECT_EQ(Color(system, 244), std::make_tuple(0, 0, 17));
    EXPECT_EQ(Color(system, 245), std::make_tuple(238, 238, 238));
    EXPECT_EQ(Color(system, 255), std::make_tuple(0, 0, 0));
}

TEST_F(DefaultsFixture, FindPaletteIsExactAndFirstMatchWins) {
    HcPaletteEntry* duplicate = NewPaletteEntry();
    CvPStrFromC(duplicate->name, "Netscape");
    duplicate->next = globals.paletteList->next;
    globals.paletteList->next = duplicate;
    unsigned char name[256];
    CvPStrFromC(name, "Netscape");
    EXPECT_EQ(FindPalette(globals, name), globals.paletteList);
    CvPStrFromC(name, "netscape");
    EXPECT_EQ(FindPalette(globals, name), nullptr);
    CvPStrFromC(name, "Netscap");
    EXPECT_EQ(FindPalette(globals, name), nullptr);
}

TEST_F(DefaultsFixture, DefaultsReplaceSavedListsWithoutLeaking) {
    globals.colorList = NewColorEntry();
    SetDefaults(globals);
    EXPECT_EQ(globals.colorList, nullptr);
    EXPECT_NE(globals.paletteList, nullptr);
}

TEST(DepthList, PositionIsTheSmallestDepthHoldingTheCount) {
    EXPECT_EQ(DepthPositionForColors(0), 0);
    EXPECT_EQ(DepthPositionForColors(256), 0);
    EXPECT_EQ(DepthPositionForColors(129), 0);
    EXPECT_EQ(DepthPositionForColors(128), 1);
    EXPECT_EQ(DepthPositionForColors(65), 1);
    EXPECT_EQ(DepthPositionForColors(64), 2);
    EXPECT_EQ(DepthPositionForColors(17), 3);
    EXPECT_EQ(DepthPositionForColors(9), 4);
    EXPECT_EQ(DepthPositionForColors(5), 5);
    EXPECT_EQ(DepthPositionForColors(4), 6);
    EXPECT_EQ(DepthPositionForColors(3), 6);
    EXPECT_EQ(DepthPositionForColors(2), 7);
    EXPECT_EQ(DepthPositionForColors(1), 7);
    EXPECT_STREQ(kDepthChoices[6].label, "2-bit (max 4 colors)");
    EXPECT_STREQ(kDepthChoices[7].label, "Black and White");
}
