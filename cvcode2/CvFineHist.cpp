// Counting pixels into the fine histogram: one table update per pixel, integer sums only.
// A cell's mean is its corner plus its offset sum divided by its count, exact up to float rounding.
#include "cvcode2/CvFineHist.h"

#include <algorithm>
#include <new>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

CvFineHist::CvFineHist() : cells(CvAllocated(new (std::nothrow) Cell[kCells]())) {}

CvFineHist::CvFineHist(const CvFineHist& other) : cells(CvAllocated(new (std::nothrow) Cell[kCells])) {
    std::copy_n(other.cells.get(), kCells, cells.get());
}

// One update per pixel, without looking for runs of a colour: in photographs and gradients a run rarely lasts,
// and the guess whether it goes on costs more than the updates it saves.
void CvFineHist::Add(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                     uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes) {
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* pixel = pixels + size_t(rowBytes) * y;
        for (uint32_t x = 0; x < width; ++x, pixel += pixelBytes) {
            const uint8_t r = pixel[rOffset], g = pixel[gOffset], b = pixel[bOffset];
            Cell& cell = cells[CellOf(r, g, b)];
            cell.count += 1;
            cell.r += r & 3u;
            cell.g += g & 3u;
            cell.b += b & 3u;
        }
    }
}

void CvFineHist::Subtract(const uint8_t rgb[3], uint32_t count) {
    Cell& cell = cells[CellOf(rgb[0], rgb[1], rgb[2])];
    const bool held = cell.count >= count && cell.r >= (rgb[0] & 3u) * count && cell.g >= (rgb[1] & 3u) * count &&
                      cell.b >= (rgb[2] & 3u) * count;
    CV_ASSERT(held);
    if (!held) CV_THROW(kCvErrBadArgument);
    cell.count -= count;
    cell.r -= (rgb[0] & 3u) * count;
    cell.g -= (rgb[1] & 3u) * count;
    cell.b -= (rgb[2] & 3u) * count;
}

std::vector<CvWeightedColor> CvFineHist::Colors() const {
    std::vector<CvWeightedColor> colors;
    for (uint32_t i = 0; i < kCells; ++i) {
        const Cell& cell = cells[i];
        if (!cell.count) continue;
        const double n = cell.count;
        colors.push_back({float((i >> 12 & 63) * 4 + cell.r / n), float((i >> 6 & 63) * 4 + cell.g / n),
                          float((i & 63) * 4 + cell.b / n), cell.count});
    }
    return colors;
}
