// The options dialog's pane under real mouse messages: each tool and its keys reach the mask rules (tested in
// uicore/), the pane tells its dialog and shows the result, auto-scroll past the pane's edge, and the hand.
#include <gtest/gtest.h>

#include "tests/support/Transcript.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/PaneBench.h"
#include "win/WnHcBrushWindow.h"
#include "win/resource_ids.h"

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

// One walk through the tools, the pane's picture of the frame read back from the display after each step ('#' where
// it shows the background of a transparent pixel, else the pixel's index) with the notices the dialog received and
// whether the pane still holds the mouse (tests/data/transcripts/win/brush-walk.txt): the picker's click chooses
// one index, Shift adds one and Ctrl removes one, a click outside the image does nothing; each stroke ends with the
// capture released and one notice, the pencil paints transparent and with Ctrl opaque again, and the edge brush's
// squares reach only the image's ring.
TEST_F(WnHcBrushWindowTest, AWalkThroughThePickerThePencilAndTheEdgeBrush) {
    Transcript t("win/brush-walk");
    const auto step = [&](const char* name) {
        const BenchPixels shown = CaptureClient(window);
        t(Transcript::Line(name, "| notices", bench.CommandsReceived(IDM_MASK_EDITED), "| captured",
                           GetCapture() == window) +
          Transcript::Picture(40, 30, [&](int x, int y) {
              const uint32_t rgb = shown.At(View(x, y).x, View(x, y).y);
              for (uint32_t index = 0; index < 8; ++index)
                  if (rgb == StripedColor(index)) return char('0' + index);
              return rgb == kFrameBackground ? '#' : '?';
          }));
    };
    pane->SetTool(WnHcBrushWindow::kPicker);
    Click(window, View(3, 0));
    step("picker on index 3");
    Click(window, View(5, 0), kBenchShift);
    step("picker with Shift on index 5");
    Click(window, View(3, 0), kBenchControl);
    Click(window, {5, 5});
    step("picker with Ctrl on index 3, then outside the image");
    pane->SetTool(WnHcBrushWindow::kPencil);
    Drag(window, StraightPath(View(5, 10), View(30, 10), 6));
    step("pencil along row 10 from 5 to 30");
    Drag(window, StraightPath(View(10, 10), View(20, 10), 2), kBenchControl);
    step("pencil with Ctrl from 10 to 20");
    pane->SetTool(WnHcBrushWindow::kEdgeBrush);
    Drag(window, StraightPath(View(1, 5), View(1, 20), 4));
    step("edge brush down column 1 from 5 to 20");
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
    EXPECT_EQ(bench.CommandsReceived(IDM_MASK_EDITED), 1);
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
