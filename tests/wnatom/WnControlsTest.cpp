// The self-drawn controls on a real window, each on a canvas of the button face that routes the mouse to it: real
// mouse and timer messages reach the arithmetic (tested in uicore) and its results reach the screen. The slider
// block shows thumbs where the values put them, bars of the colour and the disabled look; the palette grid the
// palette, the empty cells, the separators, the selection's ring and the missing palette's grey; resource sprites
// blend into the button face and switch pictures, and text atoms print line by line 14 pixels apart.
#include <gtest/gtest.h>
#include <windowsx.h>

#include "tests/support/PixelMismatches.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/ControlCanvas.h"
#include "win/resource_ids.h"
#include "wnatom/ColorSlider2.h"
#include "wnatom/WnPalPicker.h"

namespace {

constexpr int kLeft = 40, kTop = 30, kBarHeight = 11;

// Whether any pixel in rows [top, bottom) of the picture is dark (text may be smoothed into greys).
bool InkInRows(const BenchPixels& pixels, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if ((pixels.At(x, y) & 0x808080) == 0) return true;
    return false;
}

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

// A drag is captured, so its point may leave the window, and the thumb's old place is erased; a held arrow steps
// at once and then per timer tick until released, or until another window takes the capture (as when the user
// switches programs with the button held). Column c of a bar shows its channel at 2c with the others held;
// disabled, the bars are white and show no thumb (that a disabled slider ignores the mouse is the core's rule).
TEST(ColorSlider2Test, MouseAndTimerReachTheSliderAndItsStateReachesTheScreen) {
    ControlCanvas canvas(400, 140);
    ColorSlider2 slider(BenchModule(), canvas.Handle(), kBarHeight, kColorSliderSquare);
    slider.SetPosition(kLeft, kTop);
    canvas.draw = [&] { slider.Draw(); };
    canvas.canvas.onMessage = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN) slider.OnMouseDown(PointOf(lParam));
        if (message == WM_MOUSEMOVE) slider.OnMouseMove(PointOf(lParam));
        if (message == WM_LBUTTONUP) slider.OnMouseUp();
        if (message == WM_TIMER) slider.OnTimer(wParam);
        if (message == WM_CAPTURECHANGED) slider.OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    };
    slider.SetEnabled(true, true);
    canvas.Shown();
    const auto rowY = [](int row) { return kTop + row * kSliderRowStep; };
    const auto tick = [&](int milliseconds) {
        return WaitForTimer(canvas.Handle(), kSliderRepeatTimerId, std::chrono::milliseconds(milliseconds));
    };

    const int thumbTop = rowY(2) + kBarHeight;
    Drag(canvas.Handle(), {{kLeft, thumbTop + 3}, {kLeft + 60, thumbTop + 3}, {kLeft + 127, 300}});
    EXPECT_EQ(slider.Core().Color(), (HcRgb{0, 0, 255}));
    EXPECT_EQ(GetCapture(), nullptr);
    // Ink: the sprite's tip (its fifth and sixth columns) and its left edge at left + 123; then the face beside
    // it and at the thumb's old place.
    EXPECT_EQ(PixelsAt(CaptureClient(canvas.Handle()), {POINT{kLeft + 127, thumbTop},
                                                        {kLeft + 128, thumbTop},
                                                        {kLeft + 123, thumbTop + 5},
                                                        {kLeft + 126, thumbTop},
                                                        {kLeft + 122, thumbTop + 5},
                                                        {kLeft + 133, thumbTop + 5},
                                                        {kLeft - 4, thumbTop + 5}}),
              (std::vector<uint32_t>{0, 0, 0, ButtonFaceRgb(), ButtonFaceRgb(), ButtonFaceRgb(), ButtonFaceRgb()}));

    const POINT rightArrow{kLeft + 135, rowY(1) + 5};
    MouseDown(canvas.Handle(), rightArrow);
    EXPECT_EQ(slider.GetGreen(), 1);
    ASSERT_TRUE(tick(3000));
    EXPECT_EQ(slider.GetGreen(), 2);
    MouseUp(canvas.Handle(), rightArrow);
    EXPECT_FALSE(tick(400));
    Click(canvas.Handle(), {kLeft - 4, rowY(1) + 5});  // the left arrow
    EXPECT_EQ(slider.Core().Color(), (HcRgb{0, 1, 255}));
    MouseDown(canvas.Handle(), {kLeft + 135, rowY(2) + 5});
    ASSERT_TRUE(tick(3000));
    SetCapture(canvas.host.Handle());
    PumpUntilIdle();
    const uint8_t blue = slider.GetBlue();
    EXPECT_FALSE(tick(400));
    EXPECT_EQ(slider.GetBlue(), blue);
    ReleaseCapture();

    slider.SetColor({10, 200, 30});
    EXPECT_EQ(PixelsAt(CaptureClient(canvas.Handle()), {POINT{kLeft + 1 + 50, rowY(0) + 5},
                                                        {kLeft + 1 + 127, rowY(1) + 5},
                                                        {kLeft, rowY(2) + 5},
                                                        {kLeft + 240 + 30, rowY(0) + 30}}),
              (std::vector<uint32_t>{BenchRgb(100, 200, 30), BenchRgb(10, 254, 30), 0, BenchRgb(10, 200, 30)}))
        << "bars, the frame and the square swatch";
    slider.SetEnabled(false, false);
    EXPECT_EQ(PixelsAt(CaptureClient(canvas.Handle()),
                       {POINT{kLeft + 1 + 50, rowY(0) + 5}, {kLeft + 5, rowY(0) + kBarHeight}}),
              (std::vector<uint32_t>{BenchRgb(255, 255, 255), ButtonFaceRgb()}));
}

// The eraser sprite is all face; the left arrow's tip is on the left, the right arrow's on the right; text lines
// stand 14 pixels apart on their ground, an empty line left empty.
TEST(WnAtomsTest, SpritesBlendIntoTheButtonFaceSwitchPicturesAndPrintLines) {
    ControlCanvas canvas(100, 60);
    WnSBRBAtom eraser(BenchModule(), canvas.Handle(), IDB_SLIDER_THUMB_ERASER, 5, 5);
    WnDBRBAtom arrows(BenchModule(), canvas.Handle(), IDB_SLIDER_LEFT_ARROW, IDB_SLIDER_RIGHT_ARROW, 30, 5);
    WnSTBAtom text(canvas.Handle(), 52, 3, 40, 44, {255, 255, 200}, "Ab\r\n\nCd");
    EXPECT_EQ(eraser.Rect(), HcPixelRect::At(5, 5, 10, 6));
    canvas.draw = [&] {
        for (const WnCustomAtom* atom : std::initializer_list<const WnCustomAtom*>{&eraser, &arrows, &text})
            atom->Draw();
    };
    BenchPixels pixels = canvas.Shown();
    EXPECT_EQ(PixelsAt(pixels, {POINT{5, 5}, {14, 10}, {31, 10}, {36, 10}, {36, 6}, {91, 3}}),
              (std::vector<uint32_t>{ButtonFaceRgb(), ButtonFaceRgb(), 0, 0, 0, BenchRgb(255, 255, 200)}));
    const BenchPixels lines = pixels.Crop(52, 3, 92, 47);
    EXPECT_EQ((std::vector<bool>{InkInRows(lines, 0, 14), InkInRows(lines, 14, 28), InkInRows(lines, 28, 42)}),
              (std::vector<bool>{true, false, true}));
    arrows.SetState(true);
    text.SetText("");
    pixels = canvas.Shown();
    EXPECT_EQ(PixelsAt(pixels, {POINT{31, 6}, {36, 6}}), (std::vector<uint32_t>{0, ButtonFaceRgb()}));
    EXPECT_FALSE(InkInRows(pixels.Crop(52, 3, 92, 47), 0, 44));
}

// Cells 8 x 10 at (10, 12), 20 colours: real clicks past the palette, on a colour, on it again and on the frame;
// then the colours at the centre of a few cells, at the ring's four columns left of cell 5's centre and at the
// separator right of cell 0; without a palette the grid is grey and takes no click.
TEST(WnPalPickerTest, ClicksSelectOnlyColouredCellsAndTheGridShowsThePaletteAndTheSelection) {
    const auto colour = [](int index) {
        return BenchRgb(uint8_t(12 * index), uint8_t(250 - 9 * index), uint8_t(index % 3 * 100));
    };
    const auto centre = [](int index, int dx = 0) { return POINT{18 + index % 32 * 9 + dx, 21 + index / 32 * 11}; };
    ControlCanvas canvas(340, 120);
    WnPalPicker picker(canvas.Handle(), 10, 12, 8, 10);
    std::vector<bool> clicks;
    canvas.draw = [&] { picker.Draw(); };
    canvas.canvas.onMessage = [&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN) clicks.push_back(picker.Click({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    };
    CvColorTable table(20);
    for (int index = 0; index < 20; ++index) {
        const uint32_t rgb = colour(index);
        table.SetEntry(uint32_t(index), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    }
    picker.SetPalette(&table);
    for (const POINT point : {centre(25), centre(5), centre(5), POINT{12, 14}}) Click(canvas.Handle(), point);
    EXPECT_EQ(clicks, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(picker.SelectedIndex(), 5);

    const uint32_t red = 0xFF0000, white = 0xFFFFFF;
    EXPECT_EQ(PixelsAt(canvas.Shown(), {centre(0), centre(1), centre(5), centre(19), centre(20), centre(5, -8),
                                        centre(5, -7), centre(5, -6), centre(5, -5), centre(0, 4)}),
              (std::vector<uint32_t>{colour(0), colour(1), colour(5), colour(19), white, red, white, white, red, 0}));

    picker.SetPalette(nullptr);
    EXPECT_FALSE(picker.HasSelection());
    EXPECT_EQ(canvas.Shown().At(centre(3).x, centre(3).y), BenchRgb(128, 128, 128));
    Click(canvas.Handle(), centre(3));
    EXPECT_FALSE(clicks.back());
}
