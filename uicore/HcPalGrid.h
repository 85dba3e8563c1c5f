// The geometry and selection of the 32 x 8 palette grid: bitmap size, cell rectangles, hit-testing, highlight.
// A selection always names a cell that holds a palette colour.
#pragma once

#include <cstdint>

#include "uicore/HcUiTypes.h"

constexpr int32_t kPalGridColumns = 32;
constexpr int32_t kPalGridRows = 8;
constexpr int32_t kPalGridMargin = 4;     // the frame around the cells
constexpr int32_t kPalGridHighlight = 4;  // how far the selection's highlight reaches out of its cell

class HcPalGrid {
public:
    HcPalGrid(int32_t cellWidth, int32_t cellHeight) : cellWidth(cellWidth), cellHeight(cellHeight) {}

    void SetPosition(int32_t newLeft, int32_t newTop) { left = newLeft, top = newTop; }
    // The number of palette colours shown, 0..256; -1 for no palette. A selection past the end is dropped.
    void SetColorCount(int32_t count);
    bool HasPalette() const { return colorCount >= 0; }
    // Cells at and past this one are empty (white, with a corner mark).
    int32_t ColorCount() const { return colorCount < 0 ? 0 : colorCount; }

    int32_t BitmapWidth() const { return kPalGridColumns * cellWidth + 2 * kPalGridMargin + kPalGridColumns - 1; }
    int32_t BitmapHeight() const { return kPalGridRows * cellHeight + 2 * kPalGridMargin + kPalGridRows - 1; }
    // In bitmap coordinates; the 1-pixel black separators lie between the cells.
    HcPixelRect CellRect(int32_t index) const;
    HcPixelRect HighlightRect(int32_t index) const;

    // The cell under a point in dialog coordinates, or -1 outside the grid.
    int32_t CellAt(HcPoint point) const;
    // Selects the colour under the point; false outside the grid, past the palette's end, or when already selected.
    bool Click(HcPoint point);
    void ClearSelection() { hasSelection = false; }
    bool HasSelection() const { return hasSelection; }
    uint8_t SelectedIndex() const { return selectedIndex; }

private:
    int32_t left = 0, top = 0;
    int32_t cellWidth, cellHeight;
    int32_t colorCount = -1;
    uint8_t selectedIndex = 0;
    bool hasSelection = false;
};
