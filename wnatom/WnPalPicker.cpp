// The 32 x 8 palette grid drawn on a dialog: one cell per palette colour, empty cells marked, the selection ringed.
// The picture always shows the palette copy it holds and the grid's selection.
#include "wnatom/WnPalPicker.h"

#include <algorithm>

namespace {

constexpr uint8_t kNoPaletteGrey = 128;
constexpr int kCornerMark = 3;  // the empty cells' mark: a small triangle in the bottom-right corner

void Ring(ControlBitmap& picture, const HcPixelRect& rect, int inset, HcRgb rgb) {
    const int left = rect.left + inset, top = rect.top + inset, right = rect.right - inset,
              bottom = rect.bottom - inset;
    picture.FillRect(left, top, right, top + 1, rgb.red, rgb.green, rgb.blue);
    picture.FillRect(left, bottom - 1, right, bottom, rgb.red, rgb.green, rgb.blue);
    picture.FillRect(left, top, left + 1, bottom, rgb.red, rgb.green, rgb.blue);
    picture.FillRect(right - 1, top, right, bottom, rgb.red, rgb.green, rgb.blue);
}

}  // namespace

WnPalPicker::WnPalPicker(HWND window, int left, int top, int cellWidth, int cellHeight)
    : grid(cellWidth, cellHeight), left(left), top(top) {
    grid.SetPosition(left, top);
    picture.Create(window, grid.BitmapWidth(), grid.BitmapHeight(), true);
    Render();
}

void WnPalPicker::SetPalette(const CvColorTable* table) {
    palette = table ? std::make_unique<CvColorTable>(*table) : nullptr;
    grid.SetColorCount(palette ? int32_t(palette->GetCount()) : -1);
    Render();
}

bool WnPalPicker::Click(POINT point) {
    if (!grid.Click({point.x, point.y})) return false;
    Render();
    Draw();
    return true;
}

void WnPalPicker::ClearSelection() {
    grid.ClearSelection();
    Render();
}

void WnPalPicker::MoveTo(int newLeft, int newTop) {
    left = newLeft;
    top = newTop;
    grid.SetPosition(left, top);
}

void WnPalPicker::Draw() const {
    picture.Blit(left, top, 0, 0, picture.Width(), picture.Height());
}

void WnPalPicker::Render() {
    picture.Fill(kNoPaletteGrey, kNoPaletteGrey, kNoPaletteGrey);
    picture.DrawFrame();
    if (!palette) return;
    // The separators: the whole grid black, the cells drawn over it.
    picture.FillInside(0, 0, 0);
    for (int index = 0; index < kPalGridColumns * kPalGridRows; ++index) DrawCell(index);
    if (grid.HasSelection()) DrawHighlight(grid.SelectedIndex());
}

void WnPalPicker::DrawCell(int index) {
    const HcPixelRect cell = grid.CellRect(index);
    if (index < grid.ColorCount()) {
        const uint8_t* rgb = palette->Entry(uint32_t(index));
        picture.FillRect(cell.left, cell.top, cell.right, cell.bottom, rgb[0], rgb[1], rgb[2]);
        return;
    }
    picture.FillRect(cell.left, cell.top, cell.right, cell.bottom, 255, 255, 255);
    // Grey inside, black along the diagonal edge.
    const int size = std::min({kCornerMark, cell.Width(), cell.Height()});
    for (int row = 0; row < size; ++row) {
        const int y = cell.bottom - 1 - row, span = size - row;
        picture.FillRect(cell.right - span, y, cell.right, y + 1, 128, 128, 128);
        picture.SetPixel(cell.right - span, y, 0, 0, 0);
    }
}

void WnPalPicker::DrawHighlight(int index) {
    const HcPixelRect rect = grid.HighlightRect(index);
    Ring(picture, rect, 0, {255, 0, 0});
    Ring(picture, rect, 1, {255, 255, 255});
    Ring(picture, rect, 2, {255, 255, 255});
    Ring(picture, rect, 3, {255, 0, 0});
}
