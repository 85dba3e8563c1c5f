// The base preview pane in a real window: what a person sees at 1 : 1, zoomed in and zoomed out, read back from
// the display, with an asymmetric picture so that flips and swapped red and blue would show.
#include <gtest/gtest.h>

#include "tests/win/support/PaneBench.h"
#include "wnatom/WnImagePreview.h"

namespace {

constexpr uint32_t kGrey = 0xC0C0C0;

// The per-channel average of the image pixels in the den x den block at (bx, by), as the zoomed-out view shows it.
uint32_t BlockAverage(uint32_t bx, uint32_t by, uint32_t den, uint32_t width, uint32_t height) {
    uint32_t sum[3] = {}, count = 0;
    for (uint32_t y = by * den; y < std::min((by + 1) * den, height); ++y)
        for (uint32_t x = bx * den; x < std::min((bx + 1) * den, width); ++x, ++count)
            for (int c = 0; c < 3; ++c) sum[c] += (AsymmetricPixel(x, y) >> (16 - 8 * c)) & 0xFF;
    return BenchRgb(uint8_t(sum[0] / count), uint8_t(sum[1] / count), uint8_t(sum[2] / count));
}

// Pixels of the shown picture that differ from `expected(x, y)` over a w x h area at (left, top).
template <class Expected>
int Mismatches(const BenchPixels& shown, int left, int top, int w, int h, Expected expected) {
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) wrong += shown.At(left + x, top + y) != expected(x, y);
    return wrong;
}

}  // namespace

TEST(WnImagePreviewTest, AsymmetricPictureShowsTheRightWayRoundAtOneToOneAndZoomedIn) {
    PaneBench bench;
    HWND window = bench.AddPane({10, 10, 310, 210}, 1);
    auto image = AsymmetricImage(120, 80);
    WnImagePreview pane(window, image.get());

    BenchPixels shown = bench.CapturePane(window);
    SaveScreenshot(shown, "preview-1to1");
    EXPECT_EQ(pane.Layout().Origin(), (HcPoint{90, 60}));
    EXPECT_EQ(Mismatches(shown, 90, 60, 120, 80, [](int x, int y) { return AsymmetricPixel(x, y); }), 0);
    EXPECT_EQ(shown.At(0, 0), kGrey);
    EXPECT_EQ(shown.At(299, 199), kGrey);
    EXPECT_EQ(shown.At(89, 100), kGrey);

    pane.SetZoomLevel(3, true);  // 4 : 1, larger than the view: shown from the top-left corner
    shown = bench.CapturePane(window);
    SaveScreenshot(shown, "preview-4to1");
    EXPECT_EQ(pane.Layout().Origin(), (HcPoint{0, 0}));
    EXPECT_EQ(Mismatches(shown, 0, 0, 300, 200, [](int x, int y) { return AsymmetricPixel(x / 4, y / 4); }), 0);

    pane.SetZoomLevel(7, true);  // 8 : 1
    SaveScreenshot(bench.CapturePane(window), "preview-8to1");
}

TEST(WnImagePreviewTest, ZoomedOutEveryShownPixelIsTheAverageOfItsBlock) {
    PaneBench bench;
    HWND window = bench.AddPane({10, 10, 310, 210}, 1);
    auto image = AsymmetricImage(100, 60);
    WnImagePreview pane(window, image.get());

    pane.SetZoomLevel(-7, true);  // 1 : 8: a 13 x 8 picture, centred
    ASSERT_EQ(pane.Layout().ScaledWidth(), 13);
    ASSERT_EQ(pane.Layout().ScaledHeight(), 8);
    const HcPoint origin = pane.Layout().Origin();
    EXPECT_EQ(origin, (HcPoint{143, 96}));
    const BenchPixels shown = bench.CapturePane(window);
    SaveScreenshot(shown, "preview-1to8");
    EXPECT_EQ(Mismatches(shown, origin.x, origin.y, 13, 8,
                         [](int x, int y) { return BlockAverage(x, y, 8, 100, 60); }),
              0)
        << DescribePixels(shown.Crop(origin.x, origin.y, origin.x + 13, origin.y + 8));
    EXPECT_EQ(shown.At(origin.x - 1, origin.y), kGrey);
    EXPECT_EQ(shown.At(origin.x + 13, origin.y + 7), kGrey);

    pane.SetZoomLevel(-1, true);  // 1 : 2
    const BenchPixels half = bench.CapturePane(window);
    const HcPoint at = pane.Layout().Origin();
    EXPECT_EQ(Mismatches(half, at.x, at.y, 50, 30, [](int x, int y) { return BlockAverage(x, y, 2, 100, 60); }), 0);
}

TEST(WnImagePreviewTest, ResizingKeepsTheViewCentreAndAnImageOfNewSizeRebuildsTheBuffers) {
    PaneBench bench;
    HWND window = bench.AddPane({10, 10, 310, 210}, 1);
    auto image = AsymmetricImage(400, 300);
    WnImagePreview pane(window, image.get());
    EXPECT_EQ(pane.Layout().Origin(), (HcPoint{0, 0}));

    // A real WM_SIZE: the image point under the view centre (150, 100) stays under the new centre (100, 50).
    SetWindowPos(window, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    PumpUntilIdle();
    EXPECT_EQ(pane.Layout().ViewWidth(), 200);
    EXPECT_EQ(pane.Layout().Origin(), (HcPoint{-50, -50}));
    EXPECT_EQ(bench.CapturePane(window).At(100, 50), AsymmetricPixel(150, 100));

    auto small = AsymmetricImage(30, 20);
    pane.SetImage(small.get());
    EXPECT_EQ(pane.FullBuffer().Width(), 37);
    const BenchPixels shown = bench.CapturePane(window);
    EXPECT_EQ(Mismatches(shown, 85, 40, 30, 20, [](int x, int y) { return AsymmetricPixel(x, y); }), 0);
}
