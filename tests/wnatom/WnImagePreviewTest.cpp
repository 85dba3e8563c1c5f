// The base preview pane in a real window: the picture reaches the screen the right way round at 1 : 1, zoomed in and
// zoomed out, and a real WM_SIZE keeps the view centre. The layout and block arithmetic are tested in uicore.
#include <gtest/gtest.h>

#include "tests/support/PixelMismatches.h"
#include "tests/support/UiText.h"
#include "tests/win/support/PaneBench.h"
#include "wnatom/WnImagePreview.h"

namespace {

constexpr uint32_t kGrey = 0xC0C0C0;

}  // namespace

// Asymmetric pictures, so flips, offsets and swapped red and blue show.
TEST(WnImagePreviewTest, ThePictureShowsTheRightWayRoundAtOneToOneZoomedInAndZoomedOut) {
    PaneBench bench;
    HWND window = bench.AddPane({10, 10, 310, 210}, 1);
    auto image = AsymmetricImage(120, 80);
    WnImagePreview pane(window, image.get());
    BenchPixels shown = bench.CapturePane(window);
    EXPECT_EQ(PixelMismatches(shown, 90, 60, 120, 80, AsymmetricPixel), 0);  // centred
    EXPECT_EQ(PixelsAt(shown, {POINT{0, 0}, {299, 199}, {89, 100}}), std::vector<uint32_t>(3, kGrey));

    pane.SetZoomLevel(3, true);  // 4 : 1, larger than the view: shown from the top-left corner
    shown = bench.CapturePane(window);
    EXPECT_EQ(PixelMismatches(shown, 0, 0, 300, 200, [](int x, int y) { return AsymmetricPixel(x / 4, y / 4); }), 0);

    pane.SetZoomLevel(-7, true);  // 1 : 8: a 15 x 10 picture, centred at (142, 95)
    shown = bench.CapturePane(window);
    EXPECT_EQ(PixelMismatches(shown, 142, 95, 15, 10,
                              [](int x, int y) { return BlockAverage(AsymmetricPixel, x, y, 8, 120, 80); }),
              0)
        << DescribePixels(shown.Crop(142, 95, 157, 105));
    EXPECT_EQ(PixelsAt(shown, {POINT{141, 95}, {157, 104}}), std::vector<uint32_t>(2, kGrey));
}

TEST(WnImagePreviewTest, ResizingKeepsTheViewCentreTheWheelScrollsOrZoomsAndANewImageRebuildsTheBuffers) {
    PaneBench bench;
    HWND window = bench.AddPane({10, 10, 310, 210}, 1);
    auto image = AsymmetricImage(400, 300);
    WnImagePreview pane(window, image.get());

    // A real WM_SIZE: the image point under the view centre (150, 100) stays under the new centre (100, 50).
    SetWindowPos(window, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    PumpUntilIdle();
    EXPECT_EQ(pane.Layout().ViewWidth(), 200);
    EXPECT_EQ(bench.CapturePane(window).At(100, 50), AsymmetricPixel(150, 100));

    // A notch of the wheel scrolls 48 pixels down, with Shift to the right; Ctrl zooms out about the pointer to
    // 1 : 2, as wide as the view and so centred across, image point (108, 118) still under the pointer.
    POINT pointer{10, 20};
    ClientToScreen(window, &pointer);
    std::vector<HcPoint> origins;
    for (const WPARAM keys : {WPARAM(0), WPARAM(MK_SHIFT), WPARAM(MK_CONTROL)}) {
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(keys, WORD(-WHEEL_DELTA)), MAKELPARAM(pointer.x, pointer.y));
        origins.push_back(pane.Layout().Origin());
    }
    EXPECT_EQ(origins, (std::vector<HcPoint>{{-50, -98}, {-98, -98}, {0, -39}}));
    EXPECT_EQ(pane.Layout().Zoom().level, -1);
    pane.SetZoomLevel(0, true);

    auto small = AsymmetricImage(30, 20);
    pane.SetImage(small.get());
    EXPECT_EQ(pane.FullBuffer().Width(), 37);
    EXPECT_EQ(PixelMismatches(bench.CapturePane(window), 85, 40, 30, 20, AsymmetricPixel), 0);
}
