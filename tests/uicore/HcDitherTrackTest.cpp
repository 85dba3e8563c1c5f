#include <gtest/gtest.h>

#include "uicore/HcDitherTrack.h"

namespace {

// Control 1052 ends at 100 and 1053 starts at 166: x0 102, step 6.
HcDitherTrack Track(uint8_t value) {
    return HcDitherTrack(100, 166, value);
}

}  // namespace

TEST(DitherTrack, GeometryFromTheTwoControls) {
    HcDitherTrack track = Track(3);
    EXPECT_EQ(track.X0(), 102);
    EXPECT_EQ(track.Step(), 6);
    EXPECT_EQ(track.TrackRight(), 162);
    EXPECT_EQ(track.Tick(0).top, 35);
    EXPECT_EQ(track.Tick(5).x, 132);
    EXPECT_EQ(track.Tick(5).top, 38);
    EXPECT_EQ(track.Tick(10).top, 35);
    HcDitherThumb thumb = track.Thumb();
    EXPECT_EQ(thumb.tip.x, 120);
    EXPECT_EQ(thumb.tip.y, 43);
    EXPECT_EQ(thumb.baseLeft.x, 114);
    EXPECT_EQ(thumb.baseRight.x, 126);
    EXPECT_EQ(thumb.baseRight.y, 51);
    EXPECT_EQ(track.ThumbRect(), (HcPixelRect{114, 43, 51, 126}));
    EXPECT_EQ(DitherLabelText(7), "Dithering:7");
}

TEST(DitherTrack, PointerPicksTheNearestStopWithinTheEnds) {
    HcDitherTrack track = Track(0);
    const std::pair<int, int> cases[] = {{102, 0}, {104, 0}, {105, 1},  {98, 0},   {0, 0},
                                         {-50, 0}, {131, 5}, {159, 10}, {1000, 10}};
    for (auto [x, value] : cases) EXPECT_EQ(track.ValueAt(x), value) << x;
}

TEST(DitherTrack, ReleaseReportsOnlyADifferentStop) {
    HcDitherTrack track = Track(3);
    EXPECT_FALSE(track.Press({113, 45}));  // left of the thumb
    EXPECT_FALSE(track.Move({150, 45}));
    ASSERT_TRUE(track.Press({114, 43}));
    EXPECT_TRUE(track.Move({144, 45}));
    EXPECT_EQ(track.Value(), 7);
    EXPECT_FALSE(track.Move({145, 45}));
    EXPECT_TRUE(track.Move({120, 45}));
    EXPECT_FALSE(track.Release());  // back on its starting stop
    EXPECT_FALSE(track.Release());

    ASSERT_TRUE(track.Press({120, 50}));
    track.Move({-400, 45});
    EXPECT_TRUE(track.Release());
    EXPECT_EQ(track.Value(), 0);
}

TEST(DitherTrack, ControlsTooCloseStillGiveAUsableStep) {
    HcDitherTrack track(100, 104, 20);
    EXPECT_EQ(track.Step(), 1);
    EXPECT_EQ(track.Value(), 10);
    EXPECT_EQ(track.ValueAt(105), 3);
}
