// The pane cursors as the module's resources give them: each tool's slot holds that tool's cursor, the picker's and
// the pencil's hot spots lie on their drawn tips, and a module without them falls back to the arrow.
#include <gtest/gtest.h>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchWindow.h"
#include "win/HcCursors.h"
#include "win/resource_ids.h"
#include "wnatom/WnGdi.h"

namespace {

TEST(HcCursorsTest, EachToolShowsItsOwnCursorWithTheHotSpotOnItsTip) {
    BenchHostWindow host(6 * 40 + 10, 50);
    const HcCursors cursors(BenchModule());
    const struct {
        int index, resource;
        bool blackTip;
    } slots[] = {{kHcCursorEdgeBrush, IDCUR_EDGE_BRUSH, false}, {kHcCursorPicker, IDCUR_PICKER, true},
                 {kHcCursorClosedHand, IDCUR_CLOSED_HAND, false}, {kHcCursorOpenHand, IDCUR_OPEN_HAND, false},
                 {kHcCursorPencil, IDCUR_PENCIL, true}};
    for (const auto& slot : slots) {
        SCOPED_TRACE(slot.index);
        EXPECT_EQ(cursors.Get(slot.index), LoadCursorW(BenchModule(), MAKEINTRESOURCEW(slot.resource)));
        if (!slot.blackTip) continue;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursors.Get(slot.index), &info));
        WnBitmap mask(info.hbmMask), colour(info.hbmColor);  // GetIconInfo hands both over to the caller
        {
            WnWindowDC dc(host.Handle());
            DrawIconEx(dc.Get(), 40 * slot.index, 10, cursors.Get(slot.index), 32, 32, 0, nullptr, DI_NORMAL);
        }
        EXPECT_EQ(CaptureClient(host.Handle()).At(40 * slot.index + int(info.xHotspot), 10 + int(info.yHotspot)), 0u);
    }
    EXPECT_EQ(cursors.Get(kHcCursorArrow), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    EXPECT_EQ(cursors.Get(kHcCursorCount), cursors.Get(kHcCursorArrow));
    const HcCursors without(GetModuleHandleW(nullptr));
    for (int index = 0; index < kHcCursorCount; ++index) EXPECT_EQ(without.Get(index), without.Get(kHcCursorArrow));
}

}  // namespace
