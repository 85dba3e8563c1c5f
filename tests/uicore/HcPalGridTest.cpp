// The palette grid's arithmetic: cells inside the frame with one-pixel separators, clicks that select only new cells
// holding a colour, and a selection dropped when the palette shrinks under it.
#include <gtest/gtest.h>

#include "uicore/HcPalGrid.h"

namespace {

// Cells 5 wide and 7 high, so a swapped axis shows; the grid at (100, 50) in the dialog.
HcPalGrid Grid(int32_t colors) {
    HcPalGrid grid(5, 7);
    grid.SetPosition(100, 50);
    grid.SetColorCount(colors);
    return grid;
}

// A point inside cell `index`, in dialog coordinates.
HcPoint InCell(const HcPalGrid& grid, int32_t index) {
    HcPixelRect cell = grid.CellRect(index);
    return {100 + cell.left + 2, 50 + cell.bottom - 1};
}

}  // namespace

TEST(PalGrid, CellsSitInsideTheFrameWithOnePixelSeparators) {
    HcPalGrid grid = Grid(256);
    EXPECT_EQ(grid.BitmapWidth(), 32 * 5 + 39);
    EXPECT_EQ(grid.BitmapHeight(), 8 * 7 + 15);
    EXPECT_EQ(grid.CellRect(0), (HcPixelRect{4, 4, 11, 9}));
    EXPECT_EQ(grid.CellRect(33), (HcPixelRect{10, 12, 19, 15}));
    EXPECT_EQ(grid.CellRect(255), (HcPixelRect{grid.BitmapWidth() - 4 - 5, grid.BitmapHeight() - 4 - 7,
                                               grid.BitmapHeight() - 4, grid.BitmapWidth() - 4}));
    EXPECT_EQ(grid.HighlightRect(33), (HcPixelRect{6, 8, 23, 19}));
    // The frame left of and above cell 0 is outside, not cell 0; so is everything past the last column and row.
    const std::pair<HcPoint, int> hits[] = {{{103, 54}, -1},          {{104, 53}, -1},
                                            {{104 + 32 * 6, 54}, -1}, {{104, 54 + 8 * 8}, -1},
                                            {InCell(grid, 33), 33},   {{104 + 32 * 6 - 1, 54 + 8 * 8 - 1}, 255}};
    for (const auto& [point, cell] : hits) EXPECT_EQ(grid.CellAt(point), cell) << point.x << ", " << point.y;
}

TEST(PalGrid, ClickSelectsOnlyNewCellsThatHoldAColourAndAShorterPaletteDropsTheSelection) {
    HcPalGrid grid = Grid(20);
    EXPECT_TRUE(grid.Click(InCell(grid, 19)));
    EXPECT_FALSE(grid.Click(InCell(grid, 19)));  // already selected
    EXPECT_FALSE(grid.Click(InCell(grid, 25)));  // past the palette's end
    EXPECT_FALSE(grid.Click(InCell(grid, 20)));
    EXPECT_EQ(grid.SelectedIndex(), 19);

    ASSERT_TRUE(grid.Click(InCell(grid, 12)));
    grid.SetColorCount(13);
    EXPECT_TRUE(grid.HasSelection());
    grid.SetColorCount(12);
    EXPECT_FALSE(grid.HasSelection());
    grid.SetColorCount(-1);
    EXPECT_FALSE(grid.HasPalette());
    EXPECT_FALSE(grid.Click(InCell(grid, 0)));
}
