// The quantization dialog's paired panes under real mouse messages: a drag on one pane that scrolls both, and the
// wheel over either. The zoom label and buttons the panes drive are checked through both dialogs.
#include <gtest/gtest.h>

#include "tests/win/support/BenchInput.h"
#include "tests/win/support/PaneBench.h"
#include "win/WnHcPreview.h"

// A drag on either pane scrolls both by the same amount and stops at the image's edge; the wheel over either pane
// shows the same view in both (how the wheel reaches a pane and what it does are WnImagePreviewTest's).
TEST(WnHcPreviewTest, ADragOrTheWheelOverEitherPaneMovesThePair) {
    // The quantization dialog's pair: two 300 x 200 panes side by side showing 400 x 300 pictures.
    PaneBench bench;
    const auto source = AsymmetricImage(400, 300), result = AsymmetricImage(400, 300);
    HWND sourceWindow = bench.AddPane({10, 10, 310, 210}, 1), resultWindow = bench.AddPane({330, 10, 630, 210}, 2);
    WnHcPreview sourcePane(sourceWindow, source.get(), true), resultPane(resultWindow, result.get(), false);
    // The result pane's partner shows in what the source does below; the source's is asked outright.
    ASSERT_EQ(sourcePane.Partner(), &resultPane);

    // Dragging the result pane far past the picture's corner moves the source too, and both stop at the edge.
    MouseDown(resultWindow, {150, 100});
    EXPECT_EQ(GetCapture(), resultWindow);
    MouseMove(resultWindow, {130, 90});
    MouseUp(resultWindow, {-500, -500});
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(resultPane.Layout().Origin(), (HcPoint{-100, -100}));
    EXPECT_EQ(sourcePane.Layout().Origin(), (HcPoint{-100, -100}));
    EXPECT_EQ(CaptureClient(sourceWindow).At(0, 0), AsymmetricPixel(100, 100));
    SaveScreenshot(CaptureClient(bench.Dialog()), "preview-pair-scrolled");

    Drag(resultWindow, StraightPath({10, 10}, {500, 500}, 3));  // back to the top left corner for the wheel
    ASSERT_EQ(sourcePane.Layout().Origin(), (HcPoint{0, 0}));
    // Ctrl+wheel over the result pane: 2 : 1, image point (120, 80) still under the pointer, in both panes.
    POINT pointer{120, 80};
    ClientToScreen(resultWindow, &pointer);
    TurnWheel(bench.Host(), pointer, MK_CONTROL, WHEEL_DELTA);
    for (const WnHcPreview* pane : {&sourcePane, &resultPane}) {
        EXPECT_EQ(pane->Layout().Zoom().level, 1);
        EXPECT_EQ(pane->Layout().Origin(), (HcPoint{-120, -80}));
    }
    EXPECT_EQ(WindowText(GetDlgItem(bench.Dialog(), PaneBench::kZoomLabel)), L"2 : 1");
}
