// The geometry and selection of the 32 x 8 palette grid: bitmap size, cell rectangles, hit-testing, highlight.
// A selection always names a cell that holds a palette colour.
#include "uicore/HcPalGrid.h"

#include <algorithm>

void HcPalGrid::SetColorCount(int32_t count) {
    colorCount = count < 0 ? -1 : std::min(count, kPalGridColumns * kPalGridRows);
    if (selectedIndex >= ColorCount()) hasSelection = false;
}

HcPixelRect HcPalGrid::CellRect(int32_t index) const {
    int32_t x = kPalGridMargin + index % kPalGridColumns * (cellWidth + 1);
    int32_t y = kPalGridMargin + index / kPalGridColumns * (cellHeight + 1);
    return HcPixelRect::At(x, y, cellWidth, cellHeight);
}

HcPixelRect HcPalGrid::HighlightRect(int32_t index) const {
    HcPixelRect cell = CellRect(index);
    return {cell.left - kPalGridHighlight, cell.top - kPalGridHighlight, cell.bottom + kPalGridHighlight,
            cell.right + kPalGridHighlight};
}

int32_t HcPalGrid::CellAt(HcPoint point) const {
    int32_t x = point.x - kPalGridMargin - left, y = point.y - kPalGridMargin - top;
    // Checked before dividing: division truncates toward zero, which would fold -1..-cellWidth into column 0.
    if (x < 0 || y < 0) return -1;
    int32_t column = x / (cellWidth + 1), row = y / (cellHeight + 1);
    if (column >= kPalGridColumns || row >= kPalGridRows) return -1;
    return row * kPalGridColumns + column;
}

bool HcPalGrid::Click(HcPoint point) {
    int32_t index = CellAt(point);
    if (index < 0 || index >= ColorCount() || (hasSelection && index == selectedIndex)) return false;
    selectedIndex = uint8_t(index);
    hasSelection = true;
    return true;
}
