// The sizer's arithmetic: items follow the right and bottom edges at their size, custom items go to the subclass,
// and a dialog shrunk below its first client size asks to grow by the shortfall only.
#include <gtest/gtest.h>

#include <vector>

#include "uicore/HcSizerLayout.h"

namespace {

struct RecordingSizer : HcSizerLayout {
    std::vector<HcPoint> calls;  // width and height each custom placement was given
    void PlaceCustom(const HcSizerItem&, int32_t width, int32_t height) override { calls.push_back({width, height}); }
};

HcSizerItem Item(int32_t id, uint32_t flags) {
    return {flags, 0, id, HcPixelRect::At(10 * id, 100 + id, 30, 40), 7 * id, 0};
}

}  // namespace

// A 300 x 200 dialog with one item of each kind: still, right, bottom, corner, custom; and one with no way to
// find its control again, which is left out.
TEST(SizerLayout, ItemsFollowTheirEdgesAndAShrunkDialogAsksToGrowByTheShortfall) {
    RecordingSizer sizer;
    sizer.Attach(300, 200);
    for (const auto& [id, flags] :
         std::vector<std::pair<int32_t, uint32_t>>{{1, 0},
                                                   {2, kSizerFollowRight},
                                                   {3, kSizerFollowBottom},
                                                   {4, kSizerFollowRight | kSizerFollowBottom},
                                                   {0, kSizerCustom},
                                                   {0, kSizerFollowRight}})
        sizer.AddItem(Item(id, flags));
    EXPECT_EQ(sizer.Items().size(), 5u);

    HcSizerOutcome outcome = sizer.OnSize(350, 260);
    EXPECT_FALSE(outcome.MustGrow());
    std::vector<HcPixelRect> rects;
    for (const HcSizerPlacement& placement : outcome.placements) rects.push_back(placement.rect);
    EXPECT_EQ(rects, (std::vector<HcPixelRect>{HcPixelRect::At(10, 101, 30, 40), HcPixelRect::At(20 + 50, 102, 30, 40),
                                               HcPixelRect::At(30, 103 + 60, 30, 40),
                                               HcPixelRect::At(40 + 50, 104 + 60, 30, 40)}));
    EXPECT_EQ(outcome.placements.back().item->controlId, 4);
    EXPECT_EQ(sizer.calls, (std::vector<HcPoint>{{350, 260}}));

    const int32_t shrunk[][4] = {{290, 260, 10, 0}, {250, 150, 50, 50}};  // new size, growth asked for
    for (const auto& s : shrunk) {
        outcome = sizer.OnSize(s[0], s[1]);
        EXPECT_EQ(std::make_pair(outcome.growWidth, outcome.growHeight), std::make_pair(s[2], s[3]));
        EXPECT_TRUE(outcome.placements.empty());
    }
    EXPECT_EQ(sizer.calls.size(), 1u);
}
