// The palette grid on a real window: a 20-colour palette fills 20 cells, clicks through real mouse messages select
// a colour or fall on empty cells, and the highlight rings the selection.
#include <gtest/gtest.h>
#include <windowsx.h>

#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchWindow.h"
#include "wnatom/WnPalPicker.h"

namespace {

constexpr int kLeft = 10, kTop = 12, kCellWidth = 8, kCellHeight = 10;

uint32_t PaletteColour(int index) {
    return BenchRgb(uint8_t(12 * index), uint8_t(250 - 9 * index), uint8_t(index % 3 * 100));
}

CvColorTable TwentyColours() {
    CvColorTable table(20);
    for (int index = 0; index < 20; ++index) {
        const uint32_t rgb = PaletteColour(index);
        table.SetEntry(uint32_t(index), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    }
    return table;
}

class WnPalPickerTest : public ::testing::Test {
protected:
    WnPalPickerTest()
        : host(340, 120),
          canvas(host.Handle(), {0, 0, 340, 120}),
          picker(canvas.Handle(), kLeft, kTop, kCellWidth, kCellHeight) {
        canvas.onPaint = [this](HDC dc) {
            const RECT whole{0, 0, 340, 120};
            FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
            picker.Draw();
        };
        canvas.onMessage = [this](UINT message, WPARAM, LPARAM lParam) {
            if (message == WM_LBUTTONDOWN) clicks.push_back(picker.Click({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
        };
    }
    // The centre of a cell in the canvas.
    POINT CellCentre(int index) const {
        return {kLeft + 4 + index % 32 * (kCellWidth + 1) + kCellWidth / 2,
                kTop + 4 + index / 32 * (kCellHeight + 1) + kCellHeight / 2};
    }
    BenchPixels Capture() {
        InvalidateRect(canvas.Handle(), nullptr, FALSE);
        return CaptureClient(canvas.Handle());
    }

    BenchHostWindow host;
    BenchCanvas canvas;
    WnPalPicker picker;
    std::vector<bool> clicks;
};

TEST_F(WnPalPickerTest, TwentyColoursFillTwentyCellsAndOnlyThoseCanBeClicked) {
    const CvColorTable table = TwentyColours();
    picker.SetPalette(&table);
    BenchPixels pixels = Capture();
    for (int index : {0, 1, 19})
        EXPECT_EQ(pixels.At(CellCentre(index).x, CellCentre(index).y), PaletteColour(index)) << index;
    EXPECT_EQ(pixels.At(CellCentre(20).x, CellCentre(20).y), BenchRgb(255, 255, 255));
    EXPECT_EQ(pixels.At(CellCentre(0).x + kCellWidth / 2, CellCentre(0).y), 0u) << "the separator";

    Click(canvas.Handle(), CellCentre(25));
    Click(canvas.Handle(), CellCentre(5));
    Click(canvas.Handle(), CellCentre(5));
    Click(canvas.Handle(), {kLeft + 2, kTop + 2});  // the frame
    EXPECT_EQ(clicks, (std::vector<bool>{false, true, false, false}));
    ASSERT_TRUE(picker.HasSelection());
    EXPECT_EQ(picker.SelectedIndex(), 5);

    pixels = Capture();
    const POINT centre = CellCentre(5);
    const int ringLeft = centre.x - kCellWidth / 2 - 4;
    EXPECT_EQ(pixels.At(ringLeft, centre.y), BenchRgb(255, 0, 0));
    EXPECT_EQ(pixels.At(ringLeft + 1, centre.y), BenchRgb(255, 255, 255));
    EXPECT_EQ(pixels.At(ringLeft + 2, centre.y), BenchRgb(255, 255, 255));
    EXPECT_EQ(pixels.At(ringLeft + 3, centre.y), BenchRgb(255, 0, 0));
    EXPECT_EQ(pixels.At(centre.x, centre.y), PaletteColour(5));
    SaveScreenshot(pixels, "palette-grid-20-colours");
}

TEST_F(WnPalPickerTest, WithoutAPaletteTheGridIsGreyAndClicksFindNothing) {
    const CvColorTable table = TwentyColours();
    picker.SetPalette(&table);
    Click(canvas.Handle(), CellCentre(3));
    picker.SetPalette(nullptr);
    EXPECT_FALSE(picker.HasSelection());
    const BenchPixels pixels = Capture();
    EXPECT_EQ(pixels.At(CellCentre(3).x, CellCentre(3).y), BenchRgb(128, 128, 128));
    Click(canvas.Handle(), CellCentre(3));
    EXPECT_EQ(clicks, (std::vector<bool>{true, false}));
}

}  // namespace
