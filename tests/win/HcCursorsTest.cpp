// The pane cursors as the module's resources give them: six distinct cursors with sensible hot spots, drawn
// into a window for a screenshot; a module without them falls back to the arrow.
#include <gtest/gtest.h>

#include <set>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchWindow.h"
#include "win/HcCursors.h"
#include "wnatom/WnGdi.h"

namespace {

POINT HotSpot(HCURSOR cursor) {
    ICONINFO info{};
    if (!GetIconInfo(cursor, &info)) return {-1, -1};
    WnBitmap mask(info.hbmMask), colour(info.hbmColor);  // GetIconInfo hands both over to the caller
    return {LONG(info.xHotspot), LONG(info.yHotspot)};
}

TEST(HcCursorsTest, SixDistinctCursorsWithHotSpotsOnTheirTips) {
    BenchHostWindow host(6 * 40 + 10, 50);
    const HcCursors cursors(BenchModule());
    std::set<HCURSOR> distinct;
    for (int index = 0; index < kHcCursorCount; ++index) {
        ASSERT_NE(cursors.Get(index), nullptr) << index;
        distinct.insert(cursors.Get(index));
    }
    EXPECT_EQ(distinct.size(), 6u);
    EXPECT_EQ(cursors.Get(kHcCursorArrow), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    EXPECT_EQ(cursors.Get(-1), cursors.Get(kHcCursorArrow));
    EXPECT_EQ(cursors.Get(kHcCursorCount), cursors.Get(kHcCursorArrow));

    const POINT expected[kHcCursorCount] = {{-2, -2}, {16, 16}, {2, 29}, {15, 17}, {15, 15}, {2, 29}};
    for (int index = kHcCursorEdgeBrush; index < kHcCursorCount; ++index) {
        const POINT hotSpot = HotSpot(cursors.Get(index));
        EXPECT_EQ(hotSpot.x, expected[index].x) << index;
        EXPECT_EQ(hotSpot.y, expected[index].y) << index;
    }

    {
        WnWindowDC dc(host.Handle());
        for (int index = 0; index < kHcCursorCount; ++index)
            DrawIconEx(dc.Get(), 10 + index * 40, 10, cursors.Get(index), 32, 32, 0, nullptr, DI_NORMAL);
    }
    const BenchPixels shown = CaptureClient(host.Handle());
    SaveScreenshot(shown, "cursors");
    // The picker's and the pencil's hot spots lie on their black tips.
    EXPECT_EQ(shown.At(10 + 2 * 40 + 2, 10 + 29), 0x000000u);
    EXPECT_EQ(shown.At(10 + 5 * 40 + 2, 10 + 29), 0x000000u);
}

TEST(HcCursorsTest, AModuleWithoutTheCursorsGivesTheArrow) {
    const HcCursors cursors(GetModuleHandleW(nullptr));
    for (int index = 0; index < kHcCursorCount; ++index) EXPECT_EQ(cursors.Get(index), cursors.Get(kHcCursorArrow));
}

}  // namespace
