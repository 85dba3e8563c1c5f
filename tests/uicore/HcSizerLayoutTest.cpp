#include <gtest/gtest.h>

#include <vector>

#include "uicore/HcSizerLayout.h"

namespace {

struct RecordingSizer : HcSizerLayout {
    struct Call {
        intptr_t value1;
        int32_t width, height;
    };
    std::vector<Call> calls;

    void PlaceCustom(const HcSizerItem& item, int32_t width, int32_t height) override {
        calls.push_back({item.value1, width, height});
    }
};

HcSizerItem Item(int32_t id, uint32_t flags) {
    return {flags, 0, id, HcPixelRect::At(10 * id, 100 + id, 30, 40), 7 * id, 0};
}

// A 300 x 200 dialog with one item of each kind: still, right, bottom, corner, custom.
void AddOneOfEach(RecordingSizer& sizer) {
    sizer.Attach(300, 200);
    sizer.AddItem(Item(1, 0));
    sizer.AddItem(Item(2, kSizerFollowRight));
    sizer.AddItem(Item(3, kSizerFollowBottom));
    sizer.AddItem(Item(4, kSizerFollowRight | kSizerFollowBottom));
    sizer.AddItem(Item(0, kSizerCustom));
    sizer.AddItem(Item(0, kSizerFollowRight));  // no way to find its control again: left out
}

}  // namespace

TEST(SizerLayout, ItemsFollowTheirEdgesAndKeepTheirSize) {
    RecordingSizer sizer;
    AddOneOfEach(sizer);
    EXPECT_EQ(sizer.Items().size(), 5u);

    HcSizerOutcome outcome = sizer.OnSize(350, 260);
    EXPECT_FALSE(outcome.MustGrow());
    ASSERT_EQ(outcome.placements.size(), 4u);
    EXPECT_EQ(outcome.placements[0].rect, HcPixelRect::At(10, 101, 30, 40));
    EXPECT_EQ(outcome.placements[1].rect, HcPixelRect::At(20 + 50, 102, 30, 40));
    EXPECT_EQ(outcome.placements[2].rect, HcPixelRect::At(30, 103 + 60, 30, 40));
    EXPECT_EQ(outcome.placements[3].rect, HcPixelRect::At(40 + 50, 104 + 60, 30, 40));
    EXPECT_EQ(outcome.placements[3].item->controlId, 4);
    ASSERT_EQ(sizer.calls.size(), 1u);
    EXPECT_EQ(sizer.calls[0].width, 350);
    EXPECT_EQ(sizer.calls[0].height, 260);
}

TEST(SizerLayout, ShrunkDialogAsksToGrowByTheShortfallOnly) {
    RecordingSizer sizer;
    AddOneOfEach(sizer);
    HcSizerOutcome outcome = sizer.OnSize(290, 260);
    EXPECT_EQ(outcome.growWidth, 10);
    EXPECT_EQ(outcome.growHeight, 0);
    EXPECT_TRUE(outcome.placements.empty());
    EXPECT_TRUE(sizer.calls.empty());

    outcome = sizer.OnSize(250, 150);
    EXPECT_EQ(outcome.growWidth, 50);
    EXPECT_EQ(outcome.growHeight, 50);
    EXPECT_TRUE(sizer.calls.empty());
}
