// Mask edits of the options dialog's pane: the picker's three modes, pencil strokes both ways under either mask
// polarity, and edge-brush strokes that touch only the image's outer ring or grow a region by one pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/ErrorOf.h"
#include "uicore/HcMaskEdit.h"

namespace {

using Points = std::vector<HcPoint>;

// Pixels the mask calls transparent, rows top first.
Points TransparentPixels(const CvGIFFrame& frame) {
    Points points;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        for (uint32_t x = 0; x < frame.GetWidth(); ++x)
            if (!frame.GetTransparencyMask()->IsWhite(x, y)) points.push_back({int32_t(x), int32_t(y)});
    return points;
}

Points Where(uint32_t width, uint32_t height, const std::function<bool(int32_t, int32_t)>& rule) {
    Points points;
    for (int32_t y = 0; y < int32_t(height); ++y)
        for (int32_t x = 0; x < int32_t(width); ++x)
            if (rule(x, y)) points.push_back({x, y});
    return points;
}

std::unique_ptr<CvGIFFrame> OpaqueFrame(uint32_t width, uint32_t height) {
    return MakeFrame(
        width, height, 8, [](uint32_t x, uint32_t y) { return (x + y) % 8; }, [](uint32_t, uint32_t) { return 0u; });
}

}  // namespace

// Shift adds the picked index, Ctrl removes it, neither keeps only it; Shift wins when both are held. The settings'
// flags follow every pick as the frame does.
TEST(HcMaskEdit, PickerAddsRemovesOrKeepsOnlyTheIndex) {
    auto index = [](uint32_t x, uint32_t y) { return (x + 2 * y) % 8; };
    auto frame = MakeFrame(6, 4, 8, index, [&](uint32_t x, uint32_t y) { return uint32_t(index(x, y) == 2); });
    uint8_t flags[256] = {};
    flags[2] = 1;
    const struct {
        HcPoint pixel;
        HcPickMode mode;
        int picked;
        std::vector<uint32_t> transparent;
    } picks[] = {
        {{3, 1}, HcPickModeFor(true, false), 5, {2, 5}}, {{5, 0}, HcPickModeFor(false, true), 5, {2}},
        {{1, 2}, HcPickModeFor(false, false), 5, {5}},   {{4, 1}, HcPickModeFor(true, true), 6, {5, 6}},
        {{6, 0}, HcPickMode::OnlyThis, -1, {5, 6}},  // outside: nothing
    };
    for (const auto& pick : picks) {
        SCOPED_TRACE(testing::Message() << pick.pixel.x << ", " << pick.pixel.y);
        EXPECT_EQ(HcPickIndex(*frame, pick.pixel, pick.mode), pick.picked);
        if (pick.picked >= 0) HcPickFlags(flags, uint8_t(pick.picked), pick.mode);
        const auto isTransparent = [&](uint32_t i) {
            return std::find(pick.transparent.begin(), pick.transparent.end(), i) != pick.transparent.end();
        };
        EXPECT_EQ(TransparentPixels(*frame),
                  Where(6, 4, [&](int32_t x, int32_t y) { return isTransparent(index(uint32_t(x), uint32_t(y))); }));
        for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(flags[i] != 0, isTransparent(i)) << i;
    }
    EXPECT_TRUE(frame->HasTransparency());
}

TEST(HcMaskEdit, PencilPaintsTheLineAndCtrlMakesItOpaqueAgain) {
    for (uint8_t polarity : {1, 0}) {
        SCOPED_TRACE(int(polarity));
        auto frame = OpaqueFrame(8, 5);
        if (polarity == 0) {  // set bits: opaque
            auto* mask = new CvBitmapImage(8, 5);
            mask->SetPolarity(0);
            delete frame->SetTransparencyMask(mask);
        }
        ASSERT_TRUE(TransparentPixels(*frame).empty());
        const uint8_t background[3] = {9, 8, 7};
        frame->SetBackgroundColor(background);
        std::vector<uint8_t> memory(15 * 12 * 4);
        const HcBgrxBuffer full{memory.data(), 15, 12};

        HcMaskStroke stroke(*frame, HcMaskStroke::Brush::Pencil, {0, 0});
        EXPECT_EQ(stroke.LineTo({0, 0}, false).pixels, (Points{{0, 0}}));
        const HcMaskChange line = stroke.LineTo({3, 1}, false);
        EXPECT_EQ(line.pixels, (Points{{1, 0}, {2, 1}, {3, 1}}));
        EXPECT_EQ((std::vector<int32_t>{line.bounds.left, line.bounds.top, line.bounds.right, line.bounds.bottom}),
                  (std::vector<int32_t>{1, 0, 3, 1}));
        HcShowMaskPixels(*frame, line.pixels, full);
        EXPECT_EQ(std::vector<uint8_t>(full.At(2, 1), full.At(2, 1) + 4), (std::vector<uint8_t>{7, 8, 9, 0}));

        const HcMaskChange back = stroke.LineTo({-3, 1}, true);
        EXPECT_EQ(back.pixels, (Points{{3, 1}, {2, 1}}));
        HcShowMaskPixels(*frame, back.pixels, full);
        // index 2 + 1 = 3: entry (3, 252, 116)
        EXPECT_EQ(std::vector<uint8_t>(full.At(2, 1), full.At(2, 1) + 4), (std::vector<uint8_t>{116, 252, 3, 0}));
        EXPECT_EQ(stroke.LineTo({0, 0}, true).pixels, (Points{{0, 0}}));
        EXPECT_EQ(TransparentPixels(*frame), (Points{{1, 0}}));
        EXPECT_FALSE(frame->HasTransparency());  // the stroke leaves the flag to whoever ends it
    }
}

TEST(HcMaskEdit, EdgeBrushFarFromTransparencyTouchesOnlyTheOuterRing) {
    auto frame = OpaqueFrame(20, 20);
    HcMaskStroke stroke(*frame, HcMaskStroke::Brush::EdgeBrush, {1, 1});
    stroke.LineTo({1, 1}, false);
    stroke.LineTo({10, 1}, false);
    // The 5 x 5 squares cover columns -1..12 and rows -1..3.
    EXPECT_EQ(TransparentPixels(*frame),
              Where(20, 20, [](int32_t x, int32_t y) { return (y == 0 && x <= 12) || (x == 0 && y <= 3); }));
    frame->SetSize(21, 20);  // the snapshot no longer fits the mask
    EXPECT_EQ(ErrorOf([&] { stroke.LineTo({12, 1}, false); }), 21);
}

TEST(HcMaskEdit, EdgeBrushGrowsTheRegionOfTheStrokeStartByOnePixel) {
    auto inBlock = [](int32_t x, int32_t y) { return x >= 10 && x <= 14 && y >= 10 && y <= 14; };
    auto frame = MakeFrame(
        20, 20, 8, [](uint32_t x, uint32_t) { return x % 8; },
        [&](uint32_t x, uint32_t y) { return uint32_t(inBlock(int32_t(x), int32_t(y))); });
    HcMaskStroke stroke(*frame, HcMaskStroke::Brush::EdgeBrush, {8, 12});
    EXPECT_EQ(stroke.LineTo({8, 12}, false).pixels, (Points{{9, 10}, {9, 11}, {9, 12}, {9, 13}, {9, 14}}));
    EXPECT_TRUE(stroke.LineTo({6, 12}, false).Empty());  // column 9 is new: it does not spread within the stroke
    for (HcPoint corner : {HcPoint{8, 8}, HcPoint{16, 8}, HcPoint{16, 16}, HcPoint{8, 16}, HcPoint{8, 8}})
        stroke.LineTo(corner, false);  // around the block, two pixels off
    auto grownByOne = [&](int32_t x, int32_t y) {
        return inBlock(x, y) || inBlock(x - 1, y) || inBlock(x + 1, y) || inBlock(x, y - 1) || inBlock(x, y + 1);
    };
    EXPECT_EQ(TransparentPixels(*frame), Where(20, 20, grownByOne));
}
