// The options dialog's pane under real mouse messages: each tool and its keys reach the mask rules (tested in
// uicore/), the pane tells its dialog and shows the result, auto-scroll past the pane's edge, and the hand.
#include <gtest/gtest.h>

#include "tests/win/support/BenchInput.h"
#include "tests/win/support/PaneBench.h"
#include "win/WnHcBrushWindow.h"

namespace {

constexpr int kMaskEdited = 45199;

PixelSet PixelsOfIndexes(const CvGIFFrame& frame, std::set<uint32_t> indexes) {
    PixelSet found;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        for (uint32_t x = 0; x < frame.GetWidth(); ++x)
            if (indexes.count((x + 2 * y) % 8)) found.insert({x, y});
    return found;
}

}  // namespace

class WnHcBrushWindowTest : public ::testing::Test {
protected:
    // A 40 x 30 frame at 1 : 1 in a 300 x 200 pane: image pixel (x, y) is at view (130 + x, 85 + y).
    void SetUp() override {
        frame = StripedFrame(40, 30);
        window = bench.AddPane({10, 10, 310, 210}, 1);
        pane = std::make_unique<WnHcBrushWindow>(window, frame.get());
    }
    static POINT View(int x, int y) { return {130 + x, 85 + y}; }

    PaneBench bench;
    std::unique_ptr<CvGIFFrame> frame;
    HWND window = nullptr;
    std::unique_ptr<WnHcBrushWindow> pane;
};

TEST_F(WnHcBrushWindowTest, PickerClickChoosesOneIndexShiftAddsAndCtrlRemoves) {
    pane->SetTool(WnHcBrushWindow::kPicker);
    Click(window, View(3, 0));  // index 3
    Click(window, View(5, 0), kBenchShift);  // index 5 joins
    EXPECT_EQ(TransparentPixels(*frame), PixelsOfIndexes(*frame, {3, 5}));
    Click(window, View(3, 0), kBenchControl);  // index 3 leaves
    EXPECT_EQ(TransparentPixels(*frame), PixelsOfIndexes(*frame, {5}));
    EXPECT_EQ(bench.CommandsReceived(kMaskEdited), 3);
    Click(window, {5, 5});  // outside the image: nothing
    EXPECT_EQ(bench.CommandsReceived(kMaskEdited), 3);
    const BenchPixels shown = CaptureClient(window);
    EXPECT_EQ(shown.At(130 + 5, 85), kFrameBackground);
    EXPECT_EQ(shown.At(130 + 3, 85), StripedColor(3));
}

// Each stroke ends with the capture released and one notice to the dialog; the edge brush reaches the image's ring.
TEST_F(WnHcBrushWindowTest, PencilPaintsTransparentWithCtrlOpaqueAgainAndTheEdgeBrushPaintsTheRing) {
    pane->SetTool(WnHcBrushWindow::kPencil);
    Drag(window, StraightPath(View(5, 10), View(30, 10), 6));
    EXPECT_EQ(GetCapture(), nullptr);
    Drag(window, StraightPath(View(10, 10), View(20, 10), 2), kBenchControl);
    PixelSet painted;
    for (uint32_t x = 5; x <= 30; ++x)
        if (x < 10 || x > 20) painted.insert({x, 10});
    EXPECT_EQ(TransparentPixels(*frame), painted);
    const BenchPixels shown = CaptureClient(window);
    EXPECT_EQ(shown.At(View(7, 10).x, View(7, 10).y), kFrameBackground);
    EXPECT_EQ(shown.At(View(15, 10).x, View(15, 10).y), StripedColor((15 + 20) % 8));

    pane->SetTool(WnHcBrushWindow::kEdgeBrush);
    Drag(window, StraightPath(View(1, 5), View(1, 20), 4));  // its squares reach the left edge: column 0 only
    for (uint32_t y = 3; y <= 22; ++y) painted.insert({0, y});
    EXPECT_EQ(TransparentPixels(*frame), painted);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(bench.CommandsReceived(kMaskEdited), 3);
}

TEST_F(WnHcBrushWindowTest, AStrokeThatLeavesThePaneScrollsItAndStopsWhenTheButtonIsUp) {
    auto large = StripedFrame(400, 300);
    pane->SetImage(large.get());
    pane->SetTool(WnHcBrushWindow::kPencil);
    ASSERT_EQ(pane->Layout().Origin(), (HcPoint{0, 0}));

    MouseDown(window, {290, 100});
    MouseMove(window, {330, 100});  // 31 pixels right of the pane's last column: steps of 9 a tick
    const int before = pane->Layout().Origin().x;
    ASSERT_TRUE(WaitForTimer(window, WnHcBrushWindow::kAutoScrollTimer));
    EXPECT_EQ(pane->Layout().Origin().x, before - 9) << "one paced step, not the whole way at once";
    PumpUntil([&] { return pane->Layout().Origin().x == -100; }, std::chrono::milliseconds(3000));
    EXPECT_EQ(pane->Layout().Origin(), (HcPoint{-100, 0}));
    EXPECT_EQ(GetCapture(), window);
    MouseUp(window, {330, 100});
    PumpUntilIdle();
    EXPECT_FALSE(pane->StrokeInProgress());
    EXPECT_EQ(GetCapture(), nullptr);
    const PixelSet transparent = TransparentPixels(*large);
    EXPECT_TRUE(transparent.count({290, 100}));
    EXPECT_TRUE(transparent.count({399, 100}));
    EXPECT_EQ(bench.CommandsReceived(kMaskEdited), 1);
}

// Zoomed out to 1 : 8, each shown pixel is a block of 8 x 8: the block the painted diagonal crosses changes colour,
// a block it misses does not.
TEST_F(WnHcBrushWindowTest, TheHandPansALargeFrameZoomedInAndZoomedOutShowsThePaintedMask) {
    pane->SetZoomLevel(-7, true);
    const HcPoint whole = pane->Layout().Origin();
    const BenchPixels unpainted = CaptureClient(window);
    pane->SetZoomLevel(0, true);
    pane->SetTool(WnHcBrushWindow::kPencil);
    Drag(window, StraightPath(View(0, 0), View(39, 29), 4));
    pane->SetTool(WnHcBrushWindow::kHand);
    pane->SetZoomLevel(7, true);  // 8 : 1: 320 x 240 in a 300 x 200 view
    Drag(window, StraightPath({100, 100}, {80, 70}, 2));
    EXPECT_EQ(pane->Layout().Origin(), (HcPoint{-20, -30}));
    pane->ZoomStep(true);  // already 8 : 1: the view stays where the hand left it
    EXPECT_EQ(pane->Layout().Origin(), (HcPoint{-20, -30}));
    // View (0, 0) shows image pixel (2, 3), on the painted diagonal's far side: striped.
    EXPECT_EQ(CaptureClient(window).At(0, 0), StripedColor((2 + 6) % 8));
    pane->SetZoomLevel(-7, true);
    const BenchPixels painted = CaptureClient(window);
    EXPECT_NE(painted.At(whole.x, whole.y), unpainted.At(whole.x, whole.y)) << "block (0, 0) holds the diagonal";
    EXPECT_EQ(painted.At(whole.x + 4, whole.y), unpainted.At(whole.x + 4, whole.y)) << "block (4, 0) does not";
    SaveScreenshot(painted, "brush-1to8");
}
