// The quantization dialog's window-free rules: the size line at its rounding edges, typed colour counts (the
// unsigned clamp included), and the pane pair sharing odd extra widths.
#include <gtest/gtest.h>

#include "uicore/HcQuantRules.h"

TEST(HcQuantRulesTest, SizeLineRoundsToNearestKilobyteAndNeverShowsZeroForTheSource) {
    EXPECT_EQ(QuantSizeInfo(1, 1, 0), "RGB 1K / GIF 0K");    // 515 bytes: below 1024 counts as 1
    EXPECT_EQ(QuantSizeInfo(170, 1, 3), "RGB 1K / GIF 3K");  // 1022 bytes
    EXPECT_EQ(QuantSizeInfo(512, 1, 0), "RGB 2K / GIF 0K");  // 1536 + 512 = 2048
    EXPECT_EQ(QuantSizeInfo(3840, 2400, 1234), "RGB 27000K / GIF 1234K");
    EXPECT_EQ(GifKilobytes(0), 1u);
    EXPECT_EQ(GifKilobytes(1535), 1u);
    EXPECT_EQ(GifKilobytes(1536), 2u);
}

TEST(HcQuantRulesTest, TypedCountsAreClampedWithoutSign) {
    EXPECT_EQ(ColorsFromText("1"), 2u);
    EXPECT_EQ(ColorsFromText("0"), 2u);
    EXPECT_EQ(ColorsFromText("64"), 64u);
    EXPECT_EQ(ColorsFromText("999"), 256u);
    EXPECT_EQ(ColorsFromText("-5"), 256u);
    EXPECT_EQ(ColorsFromText("12ab"), 12u);
    EXPECT_EQ(ColorsFromText("0000000064"), 6u);  // only 9 characters are read: "000000006"
    EXPECT_EQ(ColorsFromText(""), 0u);
    EXPECT_EQ(ColorsFromText("abc"), 0u);
}

TEST(HcQuantRulesTest, PanesShareTheExtraWidthAndTakeAllExtraHeight) {
    const HcPanePair opening{HcPixelRect::At(15, 15, 163, 163), HcPixelRect::At(201, 15, 163, 163)};
    const HcPanePair grown = PlacePanePair(opening, 101, 40);
    EXPECT_EQ(grown.first, HcPixelRect::At(15, 15, 213, 203));
    EXPECT_EQ(grown.second, HcPixelRect::At(251, 15, 213, 203));
    EXPECT_EQ(PlacePanePair(opening, 0, 0).second, opening.second);
}
