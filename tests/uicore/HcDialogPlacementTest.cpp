// Dialog placement: a stored rectangle kept on the screen, the first opening grown for the work area and centred on
// the host window, and sizes scaled for the display's DPI.
#include <gtest/gtest.h>

#include <tuple>

#include "uicore/HcDialogPlacement.h"

namespace {

std::tuple<int32_t, int32_t, int32_t, int32_t> Fields(const HcDialogRect& rect) {
    return {rect.left, rect.top, rect.height, rect.width};
}

}  // namespace

// Rectangles are left, top, height, width; a stored one needs a positive size.
TEST(DialogPlacement, StoredRectangleKeepsItsSizeWithItsCornerOnScreen) {
    EXPECT_FALSE(IsStoredPlacement({}) || IsStoredPlacement({30, 40, 0, 400}) || IsStoredPlacement({30, 40, 300, -2}));
    EXPECT_TRUE(IsStoredPlacement({0, 0, 1, 1}));
    const std::pair<HcDialogRect, HcDialogRect> cases[] = {{{1700, -20, 300, 400}, {1536, 0, 300, 400}},
                                                           {{-5, 900, 300, 400}, {0, 864, 300, 400}},
                                                           {{30, 40, 300, 400}, {30, 40, 300, 400}}};
    for (const auto& [stored, placed] : cases)
        EXPECT_EQ(Fields(PlaceStoredDialog(stored, 1920, 1080)), Fields(placed)) << stored.left;
}

// Panes of a third of the work area's height where there is room, centred on the host, kept inside the work area.
TEST(DialogPlacement, TheFirstOpeningGrowsAsTheWorkAreaAllowsAndCentresOnTheHost) {
    // Work area and host: left, top, bottom, right.
    const std::tuple<HcPixelRect, HcPixelRect, HcDialogShape, HcDialogRect> cases[] = {
        {{0, 0, 1024, 1280}, {0, 0, 480, 640}, {543, 419, 163, 2}, {0, 0, 597, 899}},           // at the host's corner
        {{0, 0, 1024, 1280}, {200, 100, 700, 1000}, {543, 419, 163, 2}, {151, 101, 597, 899}},  // around the host
        {{0, 0, 600, 800}, {0, 0, 0, 0}, {543, 419, 163, 2}, {91, 72, 456, 617}},               // no host
        {{0, 0, 1500, 1000}, {0, 0, 1500, 1000}, {543, 419, 163, 2}, {0, 426, 647, 999}},       // as wide as it can
        {{0, 0, 480, 640}, {0, 0, 480, 640}, {700, 500, 300, 1}, {0, 0, 500, 700}},             // never shrunk
        {{1920, 40, 1080, 3840}, {2000, 100, 900, 3000}, {630, 440, 300, 1}, {2162, 257, 486, 676}},  // 2nd screen
    };
    for (const auto& [work, host, dialog, expected] : cases)
        EXPECT_EQ(Fields(FirstPlacement({work, host}, dialog)), Fields(expected))
            << host.left << " on " << work.Width();
}

// Nearest, halves away from zero: 12.5, 10.5, 4.5 and 3.75.
TEST(DialogPlacement, DpiScalingRoundsToNearestAndIsExactAt96) {
    for (int32_t pixels : {-7, 0, 1, 45, 1052}) EXPECT_EQ(ScaleForDpi(pixels, 96), pixels);
    const int32_t cases[][3] = {{10, 120, 13}, {-10, 120, -13}, {7, 144, 11}, {3, 144, 5}, {5, 72, 4}, {25, 0, 25}};
    for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c[0], c[1]), c[2]) << c[0] << " at " << c[1];
}
