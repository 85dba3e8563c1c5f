// The palette grid on a real window: real clicks reach the grid's arithmetic (tested in uicore), and the palette,
// the empty cells, the separators, the selection's ring and the missing palette's grey reach the screen.
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

// The centre of a cell in the canvas.
POINT CellCentre(int index) {
    return {kLeft + 4 + index % 32 * (kCellWidth + 1) + kCellWidth / 2,
            kTop + 4 + index / 32 * (kCellHeight + 1) + kCellHeight / 2};
}

// Colours at the centre of a few cells, then at the ring's four columns left of cell 5's centre and at the
// separator right of cell 0.
std::vector<uint32_t> Seen(const BenchPixels& pixels) {
    std::vector<uint32_t> seen;
    for (int index : {0, 1, 5, 19, 20}) seen.push_back(pixels.At(CellCentre(index).x, CellCentre(index).y));
    for (int ring = 0; ring < 4; ++ring)
        seen.push_back(pixels.At(CellCentre(5).x - kCellWidth / 2 - 4 + ring, CellCentre(5).y));
    seen.push_back(pixels.At(CellCentre(0).x + kCellWidth / 2, CellCentre(0).y));
    return seen;
}

TEST(WnPalPickerTest, ClicksSelectOnlyColouredCellsAndTheGridShowsThePaletteAndTheSelection) {
    BenchHostWindow host(340, 120);
    BenchCanvas canvas(host.Handle(), {0, 0, 340, 120});
    WnPalPicker picker(canvas.Handle(), kLeft, kTop, kCellWidth, kCellHeight);
    std::vector<bool> clicks;
    canvas.onPaint = [&](HDC dc) {
        const RECT whole{0, 0, 340, 120};
        FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
        picker.Draw();
    };
    canvas.onMessage = [&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN) clicks.push_back(picker.Click({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    };
    CvColorTable table(20);
    for (int index = 0; index < 20; ++index) {
        const uint32_t rgb = PaletteColour(index);
        table.SetEntry(uint32_t(index), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    }
    picker.SetPalette(&table);
    for (const POINT point : {CellCentre(25), CellCentre(5), CellCentre(5), POINT{kLeft + 2, kTop + 2}})
        Click(canvas.Handle(), point);  // past the palette, a colour, the same again, the frame
    EXPECT_EQ(clicks, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(picker.SelectedIndex(), 5);

    InvalidateRect(canvas.Handle(), nullptr, FALSE);
    const uint32_t red = 0xFF0000, white = 0xFFFFFF;
    EXPECT_EQ(Seen(CaptureClient(canvas.Handle())),
              (std::vector<uint32_t>{PaletteColour(0), PaletteColour(1), PaletteColour(5), PaletteColour(19), white,
                                     red, white, white, red, 0}));

    picker.SetPalette(nullptr);
    EXPECT_FALSE(picker.HasSelection());
    InvalidateRect(canvas.Handle(), nullptr, FALSE);
    EXPECT_EQ(CaptureClient(canvas.Handle()).At(CellCentre(3).x, CellCentre(3).y), BenchRgb(128, 128, 128));
    Click(canvas.Handle(), CellCentre(3));
    EXPECT_FALSE(clicks.back());
}

}  // namespace
