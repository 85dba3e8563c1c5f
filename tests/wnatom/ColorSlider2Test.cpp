// The slider block on a real window: real mouse and timer messages reach its arithmetic (tested in uicore) and its
// values reach the screen: thumbs where the values put them, bars of the colour, and the disabled look.
#include <gtest/gtest.h>
#include <windowsx.h>

#include <memory>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchWindow.h"
#include "wnatom/ColorSlider2.h"

namespace {

constexpr int kLeft = 40, kTop = 30, kBarHeight = 11;

uint32_t Face() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return BenchRgb(GetRValue(face), GetGValue(face), GetBValue(face));
}

class ColorSlider2Test : public ::testing::Test {
protected:
    ColorSlider2Test() : host(400, 140), canvas(host.Handle(), {0, 0, 400, 140}) {
        slider = std::make_unique<ColorSlider2>(BenchModule(), canvas.Handle(), kBarHeight, kColorSliderSquare);
        slider->SetPosition(kLeft, kTop);
        canvas.onPaint = [this](HDC dc) {
            const RECT whole{0, 0, 400, 140};
            FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
            slider->Draw();
        };
        canvas.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
            const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (message == WM_LBUTTONDOWN) slider->OnMouseDown(point);
            if (message == WM_MOUSEMOVE) slider->OnMouseMove(point);
            if (message == WM_LBUTTONUP) slider->OnMouseUp();
            if (message == WM_TIMER) slider->OnTimer(wParam);
            if (message == WM_CAPTURECHANGED) slider->OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        };
        slider->SetEnabled(true, true);
        InvalidateRect(canvas.Handle(), nullptr, FALSE);
        PumpUntilIdle();
    }
    int RowY(int row) const { return kTop + row * kSliderRowStep; }
    POINT ThumbPoint(int row) const {
        const uint8_t value = slider->Core().Channel(HcSliderChannel(row));
        return {kLeft + value / 2, RowY(row) + kBarHeight + 3};
    }
    bool Tick() { return WaitForTimer(canvas.Handle(), kSliderRepeatTimerId); }

    BenchHostWindow host;
    BenchCanvas canvas;
    std::unique_ptr<ColorSlider2> slider;
};

// A drag is captured, so its point may leave the window; the thumb's old place is erased.
TEST_F(ColorSlider2Test, DragsAndHeldArrowsReachTheSliderAndTheThumbIsDrawnAtItsValue) {
    Drag(canvas.Handle(), {ThumbPoint(2), {kLeft + 60, ThumbPoint(2).y}, {kLeft + 127, 300}});
    EXPECT_EQ(slider->Core().Color(), (HcRgb{0, 0, 255}));
    EXPECT_EQ(GetCapture(), nullptr);
    const BenchPixels pixels = CaptureClient(canvas.Handle());
    const int thumbTop = RowY(2) + kBarHeight;
    // The sprite's tip is its fifth and sixth columns; its left edge is at left + 123.
    EXPECT_EQ((std::vector<uint32_t>{pixels.At(kLeft + 127, thumbTop), pixels.At(kLeft + 128, thumbTop),
                                     pixels.At(kLeft + 123, thumbTop + 5)}),
              (std::vector<uint32_t>(3, 0u)));
    for (const POINT face : {POINT{kLeft + 126, thumbTop}, POINT{kLeft + 122, thumbTop + 5},
                             POINT{kLeft + 133, thumbTop + 5}, POINT{kLeft - 4, thumbTop + 5}})
        EXPECT_EQ(pixels.At(face.x, face.y), Face()) << face.x << ", " << face.y;

    const POINT rightArrow{kLeft + 135, RowY(1) + 5};
    MouseDown(canvas.Handle(), rightArrow);
    EXPECT_EQ(slider->GetGreen(), 1);
    ASSERT_TRUE(Tick());
    EXPECT_EQ(slider->GetGreen(), 2);
    MouseUp(canvas.Handle(), rightArrow);
    EXPECT_FALSE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId, std::chrono::milliseconds(400)));
    Click(canvas.Handle(), {kLeft - 4, RowY(1) + 5});  // the left arrow
    EXPECT_EQ(slider->Core().Color(), (HcRgb{0, 1, 255}));
}

// As when the user switches to another program with the button held.
TEST_F(ColorSlider2Test, RepeatStopsWhenAnotherWindowTakesTheCapture) {
    MouseDown(canvas.Handle(), {kLeft + 135, RowY(2) + 5});
    ASSERT_TRUE(Tick());
    SetCapture(host.Handle());
    PumpUntilIdle();
    const uint8_t blue = slider->GetBlue();
    EXPECT_FALSE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId, std::chrono::milliseconds(400)));
    EXPECT_EQ(slider->GetBlue(), blue);
    ReleaseCapture();
}

// Column c of a bar shows its channel at 2c with the others held; disabled, the bars are white and show no thumb.
TEST_F(ColorSlider2Test, BarsRunTheirChannelWithTheOthersHeldAndTurnWhiteWhenDisabled) {
    slider->SetColor({10, 200, 30});
    PumpUntilIdle();
    BenchPixels pixels = CaptureClient(canvas.Handle());
    EXPECT_EQ(pixels.At(kLeft + 1 + 50, RowY(0) + 5), BenchRgb(100, 200, 30));
    EXPECT_EQ(pixels.At(kLeft + 1 + 127, RowY(1) + 5), BenchRgb(10, 254, 30));
    EXPECT_EQ(pixels.At(kLeft, RowY(2) + 5), 0u) << "the frame";
    EXPECT_EQ(pixels.At(kLeft + 240 + 30, RowY(0) + 30), BenchRgb(10, 200, 30)) << "the square swatch";

    slider->SetEnabled(false, false);
    PumpUntilIdle();
    pixels = CaptureClient(canvas.Handle());
    EXPECT_EQ(pixels.At(kLeft + 1 + 50, RowY(0) + 5), BenchRgb(255, 255, 255));
    EXPECT_EQ(pixels.At(kLeft + 5, RowY(0) + kBarHeight), Face()) << "no thumb while disabled";
    Drag(canvas.Handle(), {ThumbPoint(0), {kLeft + 100, ThumbPoint(0).y}});
    EXPECT_EQ(slider->GetRed(), 10) << "a disabled slider ignores the mouse";
}

}  // namespace
