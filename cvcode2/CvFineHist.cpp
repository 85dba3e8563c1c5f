// Counting pixels into the fine histogram: one table update per pixel, integer sums only.
// A cell's mean is its corner plus its offset sum divided by its count, exact up to float rounding.
#include "cvcode2/CvFineHist.h"

#include <algorithm>
#include <new>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

CvFineHist::CvFineHist() : cells(new (std::nothrow) Cell[kCells]()) {
    if (!cells) CV_THROW(kCvErrNoMemory);
}

CvFineHist::CvFineHist(const CvFineHist& other) : cells(new (std::nothrow) Cell[kCells]) {
    if (!cells) CV_THROW(kCvErrNoMemory);
    std::copy_n(other.cells.get(), kCells, cells.get());
}

// Neighbouring pixels often repeat a colour, so a run of equal pixels is counted into its cell at once.
void CvFineHist::Add(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                     uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes) {
    uint32_t runColor = 0, run = 0;
    auto flush = [&] {
        Cell& cell = cells[CellOf(runColor & 255, runColor >> 8 & 255, runColor >> 16)];
        cell.count += run;
        cell.r += (runColor & 3u) * run;
        cell.g += (runColor >> 8 & 3u) * run;
        cell.b += (runColor >> 16 & 3u) * run;
    };
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* pixel = pixels + size_t(rowBytes) * y;
        for (uint32_t x = 0; x < width; ++x, pixel += pixelBytes) {
            const uint32_t color = CvColorTable::Pack(pixel[rOffset], pixel[gOffset], pixel[bOffset]);
            if (run && color == runColor) {
                ++run;
                continue;
            }
            if (run) flush();
            runColor = color;
            run = 1;
        }
    }
    if (run) flush();
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
