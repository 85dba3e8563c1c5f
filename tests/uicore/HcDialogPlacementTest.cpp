// Dialog placement: a stored rectangle kept on the screen, the first opening grown for the work area and centred on
// the host window, and sizes scaled for the display's DPI.
#include <gtest/gtest.h>

#include <tuple>

#include "uicore/HcDialogPlacement.h"

namespace {

void ExpectRect(const HcDialogRect& rect, int32_t left, int32_t top, int32_t height, int32_t width) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.height, height);
    EXPECT_EQ(rect.width, width);
}

}  // namespace

TEST(DialogPlacement, StoredRectangleKeepsItsSizeWithItsCornerOnScreen) {
    EXPECT_FALSE(IsStoredPlacement({}));
    EXPECT_FALSE(IsStoredPlacement({30, 40, 0, 400}));
    EXPECT_FALSE(IsStoredPlacement({30, 40, 300, -2}));
    EXPECT_TRUE(IsStoredPlacement({0, 0, 1, 1}));
    ExpectRect(PlaceStoredDialog({1700, -20, 300, 400}, 1920, 1080), 1536, 0, 300, 400);
    ExpectRect(PlaceStoredDialog({-5, 900, 300, 400}, 1920, 1080), 0, 864, 300, 400);
    ExpectRect(PlaceStoredDialog({30, 40, 300, 400}, 1920, 1080), 30, 40, 300, 400);
}

// Panes of a third of the work area's height where there is room, centred on the host, kept inside the work area.
TEST(DialogPlacement, TheFirstOpeningGrowsAsTheWorkAreaAllowsAndCentresOnTheHost) {
    // Rectangles are left, top, bottom, right.
    const std::tuple<HcPixelRect, HcPixelRect, HcDialogShape, HcDialogRect> cases[] = {
        {{0, 0, 1024, 1280}, {0, 0, 480, 640}, {543, 419, 163, 2}, {0, 0, 597, 899}},           // at the host's corner
        {{0, 0, 1024, 1280}, {200, 100, 700, 1000}, {543, 419, 163, 2}, {151, 101, 597, 899}},  // around the host
        {{0, 0, 600, 800}, {0, 0, 0, 0}, {543, 419, 163, 2}, {91, 72, 456, 617}},               // no host
        {{0, 0, 1500, 1000}, {0, 0, 1500, 1000}, {543, 419, 163, 2}, {0, 426, 647, 999}},       // as wide as it can
        {{0, 0, 480, 640}, {0, 0, 480, 640}, {700, 500, 300, 1}, {0, 0, 500, 700}},             // never shrunk
        {{1920, 40, 1080, 3840}, {2000, 100, 900, 3000}, {630, 440, 300, 1}, {2162, 257, 486, 676}},  // 2nd screen
    };
    for (const auto& [work, host, dialog, expected] : cases) {
        SCOPED_TRACE(testing::Message() << host.left << ", " << host.top << " on " << work.Width());
        const HcDialogRect placed = FirstPlacement({work, host}, dialog);
        ExpectRect(placed, expected.left, expected.top, expected.height, expected.width);
    }
}

TEST(DialogPlacement, DpiScalingRoundsToNearestAndIsExactAt96) {
    for (int32_t pixels : {-7, 0, 1, 45, 1052}) EXPECT_EQ(ScaleForDpi(pixels, 96), pixels);
    EXPECT_EQ(ScaleForDpi(10, 120), 13);  // 12.5
    EXPECT_EQ(ScaleForDpi(-10, 120), -13);
    EXPECT_EQ(ScaleForDpi(7, 144), 11);  // 10.5
    EXPECT_EQ(ScaleForDpi(3, 144), 5);   // 4.5
    EXPECT_EQ(ScaleForDpi(5, 72), 4);    // 3.75
    EXPECT_EQ(ScaleForDpi(25, 0), 25);
}
