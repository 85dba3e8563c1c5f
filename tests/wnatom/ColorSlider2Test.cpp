// The slider block on a real window: thumbs where the values put them, drags and arrow repeats through real mouse
// and timer messages, the disabled look, and screenshots at 0, 10 and 255.
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
        Repaint();
    }
    void Repaint() {
        InvalidateRect(canvas.Handle(), nullptr, FALSE);
        PumpUntilIdle();
    }
    int RowY(int row) const { return kTop + row * kSliderRowStep; }
    POINT ThumbPoint(int row) const {
        const uint8_t value = slider->Core().Channel(HcSliderChannel(row));
        return {kLeft + value / 2, RowY(row) + kBarHeight + 3};
    }

    BenchHostWindow host;
    BenchCanvas canvas;
    std::unique_ptr<ColorSlider2> slider;
};

TEST_F(ColorSlider2Test, ThumbOf255StandsAtLeftPlus123) {
    slider->SetBlue(255);
    PumpUntilIdle();
    const BenchPixels pixels = CaptureClient(canvas.Handle());
    const int thumbTop = RowY(2) + kBarHeight;
    // The sprite's tip is its fifth and sixth columns; its left edge left + 123.
    EXPECT_EQ(pixels.At(kLeft + 127, thumbTop), 0u);
    EXPECT_EQ(pixels.At(kLeft + 128, thumbTop), 0u);
    EXPECT_EQ(pixels.At(kLeft + 126, thumbTop), Face());
    EXPECT_EQ(pixels.At(kLeft + 123, thumbTop + 5), 0u);
    EXPECT_EQ(pixels.At(kLeft + 122, thumbTop + 5), Face());
    EXPECT_EQ(pixels.At(kLeft + 133, thumbTop + 5), Face());
    // The old thumb at 0 is gone.
    EXPECT_EQ(pixels.At(kLeft - 4, thumbTop + 5), Face());
}

TEST_F(ColorSlider2Test, DraggingTheThumbClampsAt127AndBelowTheLeftEdge) {
    Drag(canvas.Handle(), {ThumbPoint(0), {kLeft + 60, ThumbPoint(0).y}, {kLeft + 127, ThumbPoint(0).y}});
    EXPECT_EQ(slider->GetRed(), 255);
    Drag(canvas.Handle(), {ThumbPoint(0), {kLeft + 126, 0}});
    EXPECT_EQ(slider->GetRed(), 252);
    Drag(canvas.Handle(), {ThumbPoint(0), {kLeft - 1, 300}});  // captured: the point may leave the window
    EXPECT_EQ(slider->GetRed(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(slider->GetGreen(), 0);
    EXPECT_EQ(slider->GetBlue(), 0);
}

TEST_F(ColorSlider2Test, HeldArrowStepsAtOnceThenOnEveryTimerTickUpTo255) {
    const POINT rightArrow{kLeft + 135, RowY(1) + 5};
    MouseDown(canvas.Handle(), rightArrow);
    EXPECT_EQ(slider->GetGreen(), 1);
    ASSERT_TRUE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId));
    EXPECT_EQ(slider->GetGreen(), 2);
    ASSERT_TRUE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId));
    EXPECT_EQ(slider->GetGreen(), 3);

    slider->SetGreen(253);
    for (int tick = 0; tick < 3; ++tick) ASSERT_TRUE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId));
    EXPECT_EQ(slider->GetGreen(), 255);
    MouseUp(canvas.Handle(), rightArrow);
    EXPECT_FALSE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId, std::chrono::milliseconds(400)));
    EXPECT_EQ(slider->GetRed(), 0);

    Click(canvas.Handle(), {kLeft - 4, RowY(1) + 5});  // the left arrow steps down once per press
    EXPECT_EQ(slider->GetGreen(), 254);
}

TEST_F(ColorSlider2Test, RepeatStopsWhenAnotherWindowTakesTheCapture) {
    MouseDown(canvas.Handle(), {kLeft + 135, RowY(2) + 5});
    ASSERT_TRUE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId));
    SetCapture(host.Handle());  // as when the user switches to another program with the button held
    PumpUntilIdle();
    const uint8_t blue = slider->GetBlue();
    EXPECT_FALSE(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId, std::chrono::milliseconds(400)));
    EXPECT_EQ(slider->GetBlue(), blue);
    ReleaseCapture();
}

TEST_F(ColorSlider2Test, BarsRunTheirChannelWithTheOthersHeldAndTurnWhiteWhenDisabled) {
    slider->SetColor({10, 200, 30});
    PumpUntilIdle();
    BenchPixels pixels = CaptureClient(canvas.Handle());
    // Column c of a bar shows its channel at 2c: the red bar at column 50 is (100, 200, 30).
    EXPECT_EQ(pixels.At(kLeft + 1 + 50, RowY(0) + 5), BenchRgb(100, 200, 30));
    EXPECT_EQ(pixels.At(kLeft + 1 + 127, RowY(1) + 5), BenchRgb(10, 254, 30));
    EXPECT_EQ(pixels.At(kLeft, RowY(2) + 5), 0u) << "the frame";
    EXPECT_EQ(pixels.At(kLeft + 240 + 30, RowY(0) + 30), BenchRgb(10, 200, 30)) << "the square swatch";

    slider->SetEnabled(false, false);
    PumpUntilIdle();
    pixels = CaptureClient(canvas.Handle());
    EXPECT_EQ(pixels.At(kLeft + 1 + 50, RowY(0) + 5), BenchRgb(255, 255, 255));
    EXPECT_EQ(pixels.At(kLeft + 5, RowY(0) + kBarHeight), Face()) << "no thumb while disabled";
    SaveScreenshot(pixels, "color-slider-disabled");
    MouseDown(canvas.Handle(), ThumbPoint(0));
    MouseUp(canvas.Handle(), {kLeft + 100, ThumbPoint(0).y});
    EXPECT_EQ(slider->GetRed(), 10) << "a disabled slider ignores the mouse";
}

TEST_F(ColorSlider2Test, Screenshots) {
    for (int value : {0, 10, 255}) {
        slider->SetColor({uint8_t(value), uint8_t(value), uint8_t(value)});
        Repaint();
        SaveScreenshot(CaptureClient(canvas.Handle()), "color-slider-" + std::to_string(value));
    }
}

}  // namespace
