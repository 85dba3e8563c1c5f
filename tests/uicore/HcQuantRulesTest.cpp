// The quantization dialog's window-free rules: the size line at its rounding edges, typed colour counts (the
// unsigned clamp included), and the pane pair sharing odd extra widths.
#include <gtest/gtest.h>

#include "uicore/HcQuantRules.h"

TEST(HcQuantRulesTest, SizeLineRoundsToNearestKilobyteAndNeverShowsZeroForTheSource) {
    EXPECT_EQ(QuantSizeInfo(1, 1, 0), "RGB 1K / GIF 0K");    // 515 bytes: below 1024 counts as 1
    EXPECT_EQ(QuantSizeInfo(170, 1, 3), "RGB 1K / GIF 3K");  // 1022 bytes
    EXPECT_EQ(QuantSizeInfo(512, 1, 0), "RGB 2K / GIF 0K");  // 1536 + 512 = 2048
    EXPECT_EQ(QuantSizeInfo(3840, 2400, 1234), "RGB 27000K / GIF 1234K");
    for (const auto& [bytes, kilobytes] : {std::pair<uint32_t, uint32_t>{0, 1}, {1535, 1}, {1536, 2}})
        EXPECT_EQ(GifKilobytes(bytes), kilobytes) << bytes;
}

TEST(HcQuantRulesTest, TypedCountsAreClampedWithoutSign) {
    const std::pair<const char*, uint32_t> cases[] = {
        {"1", 2},     {"0", 2}, {"64", 64}, {"999", 256},     {"-5", 256},
        {"12ab", 12}, {"", 0},  {"abc", 0}, {"0000000064", 6}};  // only 9 characters are read: "000000006"
    for (const auto& [text, colors] : cases) EXPECT_EQ(ColorsFromText(text), colors) << text;
}

// The right pane grows with the dialog as the left one does, and moves right by the left one's growth.
TEST(HcQuantRulesTest, PanesShareTheExtraWidthAndTakeAllExtraHeight) {
    const HcPanePair opening{HcPixelRect::At(15, 15, 163, 163), HcPixelRect::At(201, 15, 163, 163)};
    const HcPanePair grown = PlacePanePair(opening, 101, 40);
    EXPECT_EQ(grown.first, HcPixelRect::At(15, 15, 213, 203));
    EXPECT_EQ(grown.second, HcPixelRect::At(251, 15, 213, 203));
    EXPECT_EQ(PlacePanePair(opening, 0, 0).second, opening.second);
}
