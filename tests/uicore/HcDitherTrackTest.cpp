// The dithering slider's arithmetic: geometry from the two controls around it, the nearest stop under the pointer,
// and a drag that reports only a release on another stop.
#include <gtest/gtest.h>

#include <vector>

#include "uicore/HcDitherTrack.h"

// Control 1052 ends at 100 and 1053 starts at 166: x0 102, step 6; the end and middle ticks reach higher.
TEST(DitherTrack, GeometryFromTheTwoControls) {
    const HcDitherTrack track(100, 166, 3);
    const HcDitherThumb thumb = track.Thumb();
    EXPECT_EQ((std::vector<int32_t>{track.X0(), track.Step(), track.TrackRight(), track.Tick(5).x}),
              (std::vector<int32_t>{102, 6, 162, 132}));
    EXPECT_EQ((std::vector<int32_t>{track.Tick(0).top, track.Tick(5).top, track.Tick(10).top}),
              (std::vector<int32_t>{35, 38, 35}));
    EXPECT_EQ((std::vector<HcPoint>{thumb.tip, thumb.baseLeft, thumb.baseRight}),
              (std::vector<HcPoint>{{120, 43}, {114, 51}, {126, 51}}));
    EXPECT_EQ(track.ThumbRect(), (HcPixelRect{114, 43, 51, 126}));
    EXPECT_EQ(DitherLabelText(7), "Dithering:7");
}

TEST(DitherTrack, PointerPicksTheNearestStopWithinTheEnds) {
    const HcDitherTrack track(100, 166, 0);
    const std::pair<int, int> cases[] = {{102, 0}, {104, 0}, {105, 1},  {98, 0},   {0, 0},
                                         {-50, 0}, {131, 5}, {159, 10}, {1000, 10}};
    for (auto [x, value] : cases) EXPECT_EQ(track.ValueAt(x), value) << x;
    const HcDitherTrack tooClose(100, 104, 20);  // controls too close still give a usable step; 20 clamps
    EXPECT_EQ(tooClose.Step(), 1);
    EXPECT_EQ(tooClose.Value(), 10);
    EXPECT_EQ(tooClose.ValueAt(105), 3);
}

TEST(DitherTrack, ReleaseReportsOnlyADifferentStop) {
    HcDitherTrack track(100, 166, 3);
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
