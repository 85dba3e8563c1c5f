// The options dialog's rules without windows: bit depths at the palette sizes' edges, the comment's share of the
// file, the mask planes' names and the tool buttons' hit test where two buttons touch.
#include <gtest/gtest.h>

#include "uicore/HcOptionsRules.h"

TEST(HcOptionsRules, BitDepthFollowsThePaletteSizeAndTheInfoTextsShowIt) {
    const std::pair<uint32_t, int> cases[] = {{0, 1},  {2, 1},  {3, 2},  {4, 2},  {5, 3},   {9, 4},   {16, 4},
                                              {17, 5}, {33, 6}, {64, 6}, {65, 7}, {128, 7}, {129, 8}, {256, 8}};
    for (const auto& [entries, bits] : cases) EXPECT_EQ(PaletteBitDepth(entries), bits) << entries;
    EXPECT_EQ(ColorUseText(12, 17), "12 colors used, 5 bit");
    EXPECT_EQ(ImageSizeText(40, 30), "40 x 30 pixels");
    EXPECT_EQ(FileSizeText(1234), "File Size: 1234 Bytes");
}

// The comment's share of "File Size" is its whole extension (introducer, label, sub-block lengths, terminator), so
// the readout is the size "Save" writes. A two-byte character of the code page is kept whole or not at all: bytes
// from 0x81 start one here.
TEST(HcOptionsRules, TheKeptCommentCountsAsItsExtensionAndNeverSplitsATwoByteCharacter) {
    const std::pair<size_t, uint32_t> sizes[] = {{0, 0}, {1, 3 + 1 + 1}, {255, 3 + 255 + 1}, {256, 3 + 256 + 2}};
    for (const auto& [length, bytes] : sizes) EXPECT_EQ(CommentExtensionSize(length), bytes) << length;
    const HcLeadByteTest lead = [](uint8_t byte) { return byte >= 0x81; };
    const std::string pair = "\x82\xA0";
    const struct {
        std::string typed;
        size_t kept;
    } cases[] = {
        {"short", 5},
        {std::string(300, 'c'), 255},
        {std::string(254, 'a') + pair, 254},
        {std::string(253, 'a') + pair + "b", 255},
        {std::string(253, 'a') + pair + pair, 255},
        {pair + std::string(254, 'a'), 255},
        {std::string(254, 'a') + "\x82", 255},  // a lone lead byte at the end is one byte
        {std::string(127, 'a') + std::string(128, '\x82'), 255},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeptComment(c.typed, lead), c.typed.substr(0, c.kept)) << c.typed.size();
        EXPECT_EQ(KeptComment(c.typed).size(), std::min<size_t>(c.typed.size(), 255)) << "without a code page";
    }
}

TEST(HcOptionsRules, PlaneNamesFollowTheLayersPlanes) {
    using Names = std::vector<std::string>;
    const struct {
        uint32_t count;
        bool transparency, layerMask;
        Names names;
    } cases[] = {{3, true, true, {"Layer Transparency", "Layer Mask", "Channel 2"}},
                 {2, true, false, {"Layer Transparency", "Channel 1"}},
                 {2, false, true, {"Layer Mask", "Channel 1"}},
                 {2, false, false, {"Channel 0", "Channel 1"}},
                 {0, true, true, {}}};
    for (const auto& c : cases) {
        Names names;
        for (const HcPlaneItem& item : MaskPlaneItems(c.count, c.transparency, c.layerMask)) {
            EXPECT_EQ(item.plane, names.size());
            names.push_back(item.name);
        }
        EXPECT_EQ(names, c.names);
    }
}

// Columns: a point and the button under it (-1: none), with the bar below a pane of 315 and then moved down by 40.
TEST(HcOptionsRules, ToolButtonsSitBelowThePaneAndMoveWithIt) {
    HcToolBar large(144);
    large.PlaceBelowPane(480);
    EXPECT_EQ(large.Rect(1), HcPixelRect::At(61, 495, 39, 33));
    HcToolBar tools;
    tools.PlaceBelowPane(315);
    EXPECT_EQ(tools.Rect(0), HcPixelRect::At(15, 325, 26, 22));
    EXPECT_EQ(tools.Rect(3), HcPixelRect::At(90, 325, 26, 22));
    const std::pair<HcPoint, int> hits[] = {
        {{15, 325}, 0}, {{40, 330}, 0},  // the column two buttons share belongs to the first
        {{41, 330}, 1}, {{115, 346}, 3}, {{116, 330}, -1}, {{20, 347}, -1}};
    for (const auto& [point, button] : hits) EXPECT_EQ(tools.HitTest(point), button) << point.x << ", " << point.y;
    tools.MoveBy(40);
    EXPECT_EQ(tools.HitTest({20, 330}), -1);
    EXPECT_EQ(tools.HitTest({20, 370}), 0);
    EXPECT_EQ(tools.Bounds(), (HcPixelRect{15, 365, 387, 116}));
}
