// The self-drawn controls on a real window, each on a canvas of the button face that routes the mouse to it: real
// mouse and timer messages reach the arithmetic (tested in uicore) and its results reach the screen. The slider
// block shows thumbs where the values put them, bars of the colour and the disabled look; the palette grid the
// palette, the empty cells, the separators, the selection's ring and the missing palette's grey; resource sprites
// blend into the button face and switch pictures, and text atoms print line by line 14 pixels apart.
#include <gtest/gtest.h>
#include <windowsx.h>

#include <functional>
#include <memory>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchWindow.h"
#include "win/resource_ids.h"
#include "wnatom/ColorSlider2.h"
#include "wnatom/WnPalPicker.h"

namespace {

constexpr int kLeft = 40, kTop = 30, kBarHeight = 11;

uint32_t Face() {
    const HcRgb face = WnButtonFace();
    return BenchRgb(face.red, face.green, face.blue);
}

// Whether any pixel in rows [top, bottom) of the picture is dark (text may be smoothed into greys).
bool InkInRows(const BenchPixels& pixels, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if ((pixels.At(x, y) & 0x808080) == 0) return true;
    return false;
}

// A canvas that paints the button face and then `draw`, and hands every message to `route`.
class ControlCanvas {
public:
    ControlCanvas(int width, int height) : host(width, height), canvas(host.Handle(), {0, 0, width, height}) {
        canvas.onPaint = [this, width, height](HDC dc) {
            const RECT whole{0, 0, width, height};
            FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
            if (draw) draw();
        };
        canvas.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
            if (route) route(message, wParam, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, lParam);
        };
    }
    HWND Handle() const { return canvas.Handle(); }
    BenchPixels Shown() {
        InvalidateRect(canvas.Handle(), nullptr, FALSE);
        return CaptureClient(canvas.Handle());
    }

    BenchHostWindow host;
    BenchCanvas canvas;
    std::function<void()> draw;
    std::function<void(UINT, WPARAM, POINT, LPARAM)> route;
};

class ColorSlider2Test : public ::testing::Test {
protected:
    ColorSlider2Test() : canvas(400, 140) {
        slider = std::make_unique<ColorSlider2>(BenchModule(), canvas.Handle(), kBarHeight, kColorSliderSquare);
        slider->SetPosition(kLeft, kTop);
        canvas.draw = [this] { slider->Draw(); };
        canvas.route = [this](UINT message, WPARAM wParam, POINT point, LPARAM lParam) {
            if (message == WM_LBUTTONDOWN) slider->OnMouseDown(point);
            if (message == WM_MOUSEMOVE) slider->OnMouseMove(point);
            if (message == WM_LBUTTONUP) slider->OnMouseUp();
            if (message == WM_TIMER) slider->OnTimer(wParam);
            if (message == WM_CAPTURECHANGED) slider->OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        };
        slider->SetEnabled(true, true);
        canvas.Shown();
    }
    int RowY(int row) const { return kTop + row * kSliderRowStep; }
    POINT ThumbPoint(int row) const {
        const uint8_t value = slider->Core().Channel(HcSliderChannel(row));
        return {kLeft + value / 2, RowY(row) + kBarHeight + 3};
    }
    bool Tick(int milliseconds = 3000) {
        return WaitForTimer(canvas.Handle(), kSliderRepeatTimerId, std::chrono::milliseconds(milliseconds));
    }

    ControlCanvas canvas;
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
    for (const POINT ink : {POINT{kLeft + 127, thumbTop}, POINT{kLeft + 128, thumbTop}, {kLeft + 123, thumbTop + 5}})
        EXPECT_EQ(pixels.At(ink.x, ink.y), 0u) << ink.x << ", " << ink.y;
    for (const POINT face : {POINT{kLeft + 126, thumbTop}, POINT{kLeft + 122, thumbTop + 5},
                             POINT{kLeft + 133, thumbTop + 5}, POINT{kLeft - 4, thumbTop + 5}})
        EXPECT_EQ(pixels.At(face.x, face.y), Face()) << face.x << ", " << face.y;

    const POINT rightArrow{kLeft + 135, RowY(1) + 5};
    MouseDown(canvas.Handle(), rightArrow);
    EXPECT_EQ(slider->GetGreen(), 1);
    ASSERT_TRUE(Tick());
    EXPECT_EQ(slider->GetGreen(), 2);
    MouseUp(canvas.Handle(), rightArrow);
    EXPECT_FALSE(Tick(400));
    Click(canvas.Handle(), {kLeft - 4, RowY(1) + 5});  // the left arrow
    EXPECT_EQ(slider->Core().Color(), (HcRgb{0, 1, 255}));

    // As when the user switches to another program with the button held: the repeat stops.
    MouseDown(canvas.Handle(), {kLeft + 135, RowY(2) + 5});
    ASSERT_TRUE(Tick());
    SetCapture(canvas.host.Handle());
    PumpUntilIdle();
    const uint8_t blue = slider->GetBlue();
    EXPECT_FALSE(Tick(400));
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
    EXPECT_EQ((std::vector<uint32_t>{pixels.At(5, 5), pixels.At(14, 10), pixels.At(31, 10), pixels.At(36, 10),
                                     pixels.At(36, 6), pixels.At(91, 3)}),
              (std::vector<uint32_t>{Face(), Face(), 0, 0, 0, BenchRgb(255, 255, 200)}));
    const BenchPixels lines = pixels.Crop(52, 3, 92, 47);
    EXPECT_EQ((std::vector<bool>{InkInRows(lines, 0, 14), InkInRows(lines, 14, 28), InkInRows(lines, 28, 42)}),
              (std::vector<bool>{true, false, true}));
    arrows.SetState(true);
    text.SetText("");
    pixels = canvas.Shown();
    EXPECT_EQ(pixels.At(31, 6), 0u);
    EXPECT_EQ(pixels.At(36, 6), Face());
    EXPECT_FALSE(InkInRows(pixels.Crop(52, 3, 92, 47), 0, 44));
}

// Cells 8 x 10 at (10, 12), 20 colours: real clicks past the palette, on a colour, on it again and on the frame;
// then the colours at the centre of a few cells, at the ring's four columns left of cell 5's centre and at the
// separator right of cell 0; without a palette the grid is grey and takes no click.
TEST(WnPalPickerTest, ClicksSelectOnlyColouredCellsAndTheGridShowsThePaletteAndTheSelection) {
    constexpr int kCellWidth = 8, kCellHeight = 10;
    const auto colour = [](int index) {
        return BenchRgb(uint8_t(12 * index), uint8_t(250 - 9 * index), uint8_t(index % 3 * 100));
    };
    const auto centre = [](int index) {
        return POINT{10 + 4 + index % 32 * (kCellWidth + 1) + kCellWidth / 2,
                     12 + 4 + index / 32 * (kCellHeight + 1) + kCellHeight / 2};
    };
    ControlCanvas canvas(340, 120);
    WnPalPicker picker(canvas.Handle(), 10, 12, kCellWidth, kCellHeight);
    std::vector<bool> clicks;
    canvas.draw = [&] { picker.Draw(); };
    canvas.route = [&](UINT message, WPARAM, POINT point, LPARAM) {
        if (message == WM_LBUTTONDOWN) clicks.push_back(picker.Click({point.x, point.y}));
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

    const BenchPixels shown = canvas.Shown();
    std::vector<uint32_t> seen;
    for (int index : {0, 1, 5, 19, 20}) seen.push_back(shown.At(centre(index).x, centre(index).y));
    for (int ring = 0; ring < 4; ++ring) seen.push_back(shown.At(centre(5).x - kCellWidth / 2 - 4 + ring, centre(5).y));
    seen.push_back(shown.At(centre(0).x + kCellWidth / 2, centre(0).y));
    const uint32_t red = 0xFF0000, white = 0xFFFFFF;
    EXPECT_EQ(seen,
              (std::vector<uint32_t>{colour(0), colour(1), colour(5), colour(19), white, red, white, white, red, 0}));

    picker.SetPalette(nullptr);
    EXPECT_FALSE(picker.HasSelection());
    EXPECT_EQ(canvas.Shown().At(centre(3).x, centre(3).y), BenchRgb(128, 128, 128));
    Click(canvas.Handle(), centre(3));
    EXPECT_FALSE(clicks.back());
}

}  // namespace
