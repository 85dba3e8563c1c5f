// The GIF frame: the transparent index it chooses (free, merged or appended), its mask operations, and drawing
// and turning it with the mask kept in step with the pixels.
#include <gtest/gtest.h>

#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvIndexedImage.h"
#include "tests/cvcode2/CvGIFTestSupport.h"

namespace {

constexpr float kQuarterTurn = 1.5707964f;  // angles are in radians

// Pixels whose mask bit says transparent, as 0/1 in display order, read through the drawing with a marker colour.
std::vector<uint8_t> TransparentMap(const CvGIFFrame& frame) {
    CvGIFFrame probe(frame);
    const uint8_t marker[3] = {1, 2, 3};
    probe.GetIndexedImage()->colorTable.SetCount(256);
    for (uint32_t i = 0; i < 256; ++i) probe.GetIndexedImage()->colorTable.SetEntry(i, 200, 200, 200);
    probe.SetBackgroundColor(marker);
    probe.SetTransparency(true);
    const uint32_t w = frame.GetWidth(), h = frame.GetHeight();
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    probe.GetRGB(0, 0, h, w, 0, 0, w * 3, 3, 0, 1, 2, rgb.data());
    std::vector<uint8_t> map;
    for (size_t i = 0; i < rgb.size(); i += 3) map.push_back(rgb[i] == 1);
    return map;
}

}  // namespace

TEST(CvGIFFrame, ChoosesAFreeMergedOrAppendedTransparentIndex) {
    struct Case {
        const char* name;
        uint32_t width, height, colors;
        PixelRule index, transparent;
        uint32_t expectedIndex, expectedCount;
    };
    // 256 colours each used once by an opaque pixel; entry 2 is given entry 200's colour, so merging it costs 0.
    auto allOnce16 = [](uint32_t x, uint32_t y) { return y < 16 ? y * 16 + x : 5u; };
    auto lastRow16 = [](uint32_t, uint32_t y) { return uint32_t(y == 16); };
    auto allOnce20 = [](uint32_t x, uint32_t y) { return y < 10 ? y * 20 + x : 0u; };
    auto lastRow20 = [](uint32_t, uint32_t y) { return uint32_t(y == 10); };
    auto sevenMasked = [](uint32_t x, uint32_t y) { return y == 10 ? 7u : (y * 20 + x == 7 ? 8u : y * 20 + x); };
    const Case cases[] = {
        {"256 used: merge", 16, 17, 256, allOnce16, lastRow16, 2, 256},
        {"200 used: append", 20, 11, 200, allOnce20, lastRow20, 200, 201},
        {"7 only under the mask", 20, 11, 200, sevenMasked, lastRow20, 7, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto frame = MakeFrame(c.width, c.height, c.colors, c.index, c.transparent);
        CvColorTable& table = frame->GetIndexedImage()->colorTable;
        if (c.colors == 256) table.SetEntry(2, table.Entry(200)[0], table.Entry(200)[1], table.Entry(200)[2]);
        ASSERT_TRUE(frame->HasTransparency());
        frame->ChooseTransparentIndex(false);
        EXPECT_EQ(frame->GetTransparentIndex(), c.expectedIndex);
        EXPECT_EQ(table.GetCount(), c.expectedCount);
        const std::vector<uint8_t> indices = IndexBytes(*frame->GetIndexedImage());
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x) {
                const uint8_t got = indices[y * c.width + x];
                if (c.transparent(x, y))
                    EXPECT_EQ(got, c.expectedIndex);
                else
                    EXPECT_NE(got, c.expectedIndex) << x << "," << y;  // no opaque pixel keeps the freed index
            }
    }
}

TEST(CvGIFFrame, MarkingAndRebuildingTheMask) {
    // 4 x 2, indexes 0 1 2 3 / 3 3 1 0, all opaque.
    const uint8_t layout[8] = {0, 1, 2, 3, 3, 3, 1, 0};
    auto frame = MakeFrame(
        4, 2, 6, [&](uint32_t x, uint32_t y) { return uint32_t(layout[y * 4 + x]); },
        [](uint32_t, uint32_t) { return 0u; });
    frame->MarkIndexTransparent(5);  // used by no pixel: the flag stays off
    EXPECT_FALSE(frame->HasTransparency());

    frame->MarkIndexTransparent(1);
    EXPECT_TRUE(frame->HasTransparency());
    EXPECT_EQ(TransparentMap(*frame), (std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 1, 0}));

    frame->FrameInfo().transparentIndex = 3;
    frame->RebuildMask();
    EXPECT_EQ(TransparentMap(*frame), (std::vector<uint8_t>{0, 0, 0, 1, 1, 1, 0, 0}));

    frame->MarkIndexOpaque(3);
    EXPECT_FALSE(frame->HasTransparency());

    // A frame made from an image whose info names a transparent index marks exactly that index's pixels.
    CvIndexedImage image(*frame->GetIndexedImage(), nullptr, nullptr);
    static_cast<CvGIFFrameInfo*>(image.GetFormatInfo())->transparentFlag = 1;
    static_cast<CvGIFFrameInfo*>(image.GetFormatInfo())->transparentIndex = 0;
    EXPECT_EQ(TransparentMap(CvGIFFrame(image)), (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 1}));
}

TEST(CvGIFFrame, DrawingShowsTheBackgroundUnderTransparentPixels) {
    auto frame = MakeFrame(
        3, 2, 4, [](uint32_t x, uint32_t y) { return x + y; },
        [](uint32_t x, uint32_t y) { return uint32_t(x == 2 && y == 0); });
    const uint8_t background[3] = {9, 8, 7};
    frame->SetBackgroundColor(background);
    // B, G, R order with a padded row: a swap or stride fault shows.
    std::vector<uint8_t> bgr(2 * 10, 0xEE);
    frame->GetRGB(0, 0, 2, 3, 0, 0, 10, 3, 2, 1, 0, bgr.data());
    const CvColorTable& table = frame->GetIndexedImage()->colorTable;
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 3; ++x) {
            const uint8_t* want = (x == 2 && y == 0) ? background : table.Entry(x + y);
            const uint8_t* got = &bgr[y * 10 + x * 3];
            EXPECT_EQ(std::vector<uint8_t>({got[2], got[1], got[0]}), std::vector<uint8_t>(want, want + 3));
        }
    EXPECT_EQ(bgr[9], 0xEE);  // the row padding is untouched
}

TEST(CvGIFFrame, TurnsFlipsAndCropsKeepTheMaskWithItsPixels) {
    // 3 x 2 with a unique index 5 at (2, 0), the only transparent pixel.
    auto frame = MakeFrame(
        3, 2, 6, [](uint32_t x, uint32_t y) { return x == 2 && y == 0 ? 5u : x + y; },
        [](uint32_t x, uint32_t y) { return uint32_t(x == 2 && y == 0); });
    const uint8_t background[3] = {4, 5, 6};
    frame->SetBackgroundColor(background);
    auto check = [&](CvImage* made, uint32_t w, uint32_t h) {
        std::unique_ptr<CvGIFFrame> derived(dynamic_cast<CvGIFFrame*>(made));
        ASSERT_NE(derived, nullptr);
        ASSERT_EQ(std::make_pair(derived->GetWidth(), derived->GetHeight()), std::make_pair(w, h));
        EXPECT_TRUE(derived->HasTransparency());
        EXPECT_EQ(derived->GetBackgroundColor()[2], 6);
        const std::vector<uint8_t> indices = IndexBytes(*derived->GetIndexedImage());
        const std::vector<uint8_t> map = TransparentMap(*derived);
        for (size_t i = 0; i < map.size(); ++i) EXPECT_EQ(map[i], indices[i] == 5) << i;
    };
    check(frame->Rotate(kQuarterTurn), 2, 3);
    check(frame->Rotate(-kQuarterTurn), 2, 3);
    check(frame->FlipHorizontal(), 3, 2);
    check(frame->FlipVertical(), 3, 2);
    check(frame->CopyRect(CvRect{1, 0, 2, 3}), 2, 2);
}
