// Histogram over the 5-bit colour cells: counting pixels, listing the occupied cells, folding near-black.
// Counters are plain u32 totals indexed by ColorIndex15; nothing here depends on the palette.
#include "cvcode2/Cv15BitHist.h"

#include <cstddef>
#include <cstring>

#include "cvcode2/CvLog.h"

namespace {
// Cell-index contribution of each 8-bit channel value, so the per-pixel work is three loads and two ORs. Built at
// compile time, so a histogram made while other files' statics are being initialised still sees the tables.
struct CellTables {
    uint16_t r[256]{}, g[256]{}, b[256]{};
    constexpr CellTables() {
        for (uint32_t c = 0; c < 256; ++c) {
            b[c] = uint16_t(CellLevel(uint8_t(c)));
            g[c] = uint16_t(b[c] << 5);
            r[c] = uint16_t(b[c] << 10);
        }
    }
};
constexpr CellTables kCellTables;
}  // namespace

void BuildHistogram(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                    uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes, uint32_t* histogram) {
    CV_ASSERT(histogram != nullptr);
    if (!histogram) return;
    std::memset(histogram, 0, kCellCount * sizeof(uint32_t));
    AddToHistogram(pixels, rowBytes, width, height, rOffset, gOffset, bOffset, pixelBytes, histogram);
}

void AddToHistogram(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                    uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes, uint32_t* histogram) {
    CV_ASSERT(histogram != nullptr);
    if (!histogram) return;
    CV_ASSERT(pixels != nullptr || width == 0 || height == 0);
    if (!pixels) return;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* p = pixels + size_t(rowBytes) * y;
        for (uint32_t x = 0; x < width; ++x, p += pixelBytes)
            ++histogram[kCellTables.r[p[rOffset]] | kCellTables.g[p[gOffset]] | kCellTables.b[p[bOffset]]];
    }
}

uint32_t CountColors(const uint32_t* histogram) {
    uint32_t count = 0;
    for (uint32_t c = 0; c < kCellCount; ++c) count += histogram[c] != 0;
    return count;
}

CvColorTable HistogramColors(const uint32_t* histogram) {
    CvColorTable table(CountColors(histogram));
    uint32_t entry = 0;
    for (uint32_t c = 0; c < kCellCount; ++c) {
        if (!histogram[c]) continue;
        uint8_t rgb[3];
        CellColor(c, rgb);
        table.SetEntry(entry++, rgb[0], rgb[1], rgb[2]);
    }
    return table;
}

void FoldNearBlack(uint32_t* histogram) {
    uint32_t sum = 0;
    for (uint32_t r = 0; r < 2; ++r)
        for (uint32_t g = 0; g < 2; ++g)
            for (uint32_t b = 0; b < 2; ++b) {
                uint32_t cell = r << 10 | g << 5 | b;
                sum += histogram[cell];
                histogram[cell] = 0;
            }
    histogram[0] = sum;
}
