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

TEST(HcOptionsRules, CommentsCountAsTheirExtensionAndOnlyTheKeptPart) {
    EXPECT_EQ(CommentExtensionSize(0), 0u);
    EXPECT_EQ(CommentExtensionSize(1), 3u + 1 + 1);
    EXPECT_EQ(CommentExtensionSize(255), 3u + 255 + 1);
    EXPECT_EQ(CommentExtensionSize(256), 3u + 256 + 2);
    const std::string typed(300, 'c');
    EXPECT_EQ(KeptComment(typed).size(), 255u);
    EXPECT_EQ(CommentExtensionSize(KeptComment(typed).size()), CommentExtensionSize(255));
    EXPECT_EQ(KeptComment("short"), "short");
}

// A two-byte character of the code page is kept whole or not at all: bytes from 0x81 start one here.
TEST(HcOptionsRules, TheKeptCommentNeverSplitsATwoByteCharacter) {
    const HcLeadByteTest lead = [](uint8_t byte) { return byte >= 0x81; };
    const std::string pair = "\x82\xA0";
    const struct {
        std::string typed;
        size_t kept;
    } cases[] = {
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
    const auto names = [](uint32_t count, bool transparency, bool layerMask) {
        std::vector<std::string> result;
        uint32_t position = 0;
        for (const HcPlaneItem& item : MaskPlaneItems(count, transparency, layerMask)) {
            EXPECT_EQ(item.plane, position++);
            result.push_back(item.name);
        }
        return result;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(names(3, true, true), (Names{"Layer Transparency", "Layer Mask", "Channel 2"}));
    EXPECT_EQ(names(2, true, false), (Names{"Layer Transparency", "Channel 1"}));
    EXPECT_EQ(names(2, false, true), (Names{"Layer Mask", "Channel 1"}));
    EXPECT_EQ(names(2, false, false), (Names{"Channel 0", "Channel 1"}));
    EXPECT_TRUE(names(0, true, true).empty());
}

TEST(HcOptionsRules, ToolButtonsSitBelowThePaneAndMoveWithIt) {
    HcToolBar large(144);
    large.PlaceBelowPane(480);
    EXPECT_EQ(large.Rect(0), HcPixelRect::At(23, 495, 39, 33));
    EXPECT_EQ(large.Rect(1), HcPixelRect::At(61, 495, 39, 33));
    HcToolBar tools;
    tools.PlaceBelowPane(315);
    EXPECT_EQ(tools.Rect(0), HcPixelRect::At(15, 325, 26, 22));
    EXPECT_EQ(tools.Rect(3), HcPixelRect::At(90, 325, 26, 22));
    EXPECT_EQ(tools.HitTest({15, 325}), 0);
    EXPECT_EQ(tools.HitTest({40, 330}), 0) << "the column two buttons share belongs to the first";
    EXPECT_EQ(tools.HitTest({41, 330}), 1);
    EXPECT_EQ(tools.HitTest({115, 346}), 3);
    EXPECT_EQ(tools.HitTest({116, 330}), -1);
    EXPECT_EQ(tools.HitTest({20, 347}), -1);
    tools.MoveBy(40);
    EXPECT_EQ(tools.HitTest({20, 330}), -1);
    EXPECT_EQ(tools.HitTest({20, 370}), 0);
    EXPECT_EQ(tools.Bounds(), (HcPixelRect{15, 365, 387, 116}));
}
