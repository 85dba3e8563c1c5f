#include <gtest/gtest.h>

#include "uicore/HcDialogPlacement.h"

namespace {

void ExpectRect(const HcDialogRect& rect, int32_t left, int32_t top, int32_t height, int32_t width) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.height, height);
    EXPECT_EQ(rect.width, width);
}

}  // namespace

TEST(DialogPlacement, SavedRectangleKeepsItsSizeWithItsCornerOnScreen) {
    ExpectRect(PlaceDialog({1700, -20, 300, 400}, 1920, 1080, 500, 350), 1536, 0, 300, 400);
    ExpectRect(PlaceDialog({-5, 900, 300, 400}, 1920, 1080, 500, 350), 0, 864, 300, 400);
    ExpectRect(PlaceDialog({30, 40, 300, 400}, 1920, 1080, 500, 350), 30, 40, 300, 400);
}

TEST(DialogPlacement, WithoutASizeTheDialogIsCentredAndRaised) {
    ExpectRect(PlaceDialog({}, 1920, 1080, 400, 300), 760, 312, 300, 400);
    ExpectRect(PlaceDialog({30, 40, 0, 400}, 1920, 1080, 400, 300), 760, 312, 300, 400);
    // Larger than the screen: the title bar stays reachable.
    ExpectRect(PlaceDialog({}, 1024, 768, 800, 1200), 112, 0, 1200, 800);
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
