// The 32 x 8 palette grid drawn on a dialog: one cell per palette colour, empty cells marked, the selection ringed.
// The picture always shows the palette copy it holds and the grid's selection.
#pragma once

#include <windows.h>

#include <memory>

#include "cvcode2/CvColorTable.h"
#include "uicore/HcPalGrid.h"
#include "wnatom/ControlBitmap.h"

// Positions and cell sizes are the window's pixels: the dialogs measure them from their own controls.
class WnPalPicker {
public:
    // Out of memory for the bitmap raises kCvErrNoMemory.
    WnPalPicker(HWND window, int left, int top, int cellWidth, int cellHeight);

    // Keeps a copy of the table; null removes the palette. A selection past the new palette's end goes.
    void SetPalette(const CvColorTable* table);
    const CvColorTable* Palette() const { return palette.get(); }
    // Selects the colour under the point (window pixels) and redraws; false outside the grid, past the palette's
    // end, or on the cell already selected.
    bool Click(POINT point);
    void ClearSelection();
    // Moves the grid to (newLeft, newTop) of its window; the caller repaints.
    void MoveTo(int newLeft, int newTop) {
        left = newLeft, top = newTop;
        grid.SetPosition(left, top);
    }
    HcPixelRect Rect() const { return HcPixelRect::At(left, top, grid.BitmapWidth(), grid.BitmapHeight()); }
    bool HasSelection() const { return grid.HasSelection(); }
    uint8_t SelectedIndex() const { return grid.SelectedIndex(); }
    const HcPalGrid& Grid() const { return grid; }

    void Draw() const;

private:
    void Render();
    void DrawCell(int index);
    void DrawHighlight(int index);

    HcPalGrid grid;
    ControlBitmap picture;
    std::unique_ptr<CvColorTable> palette;
    int left, top;
};
