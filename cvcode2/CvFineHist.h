// The fine histogram: pixels counted into 6-bit-per-channel cells that also keep the exact sum of their colours,
// so that every occupied cell yields the true mean of its pixels. Sums are kept as offsets from the cell's corner.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One occupied cell: how many pixels, and their mean colour in 8-bit units.
struct CvWeightedColor {
    float r, g, b;
    uint32_t count;
};

class CvFineHist {
public:
    static constexpr uint32_t kCells = 1u << 18;

    CvFineHist();
    CvFineHist(const CvFineHist& other);
    CvFineHist& operator=(const CvFineHist&) = delete;

    // Adds the pixels of an image with red, green and blue at the given byte offsets.
    void Add(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
             uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes);
    // Takes `count` pixels of exactly this colour out again (they must have been added).
    void Subtract(const uint8_t rgb[3], uint32_t count);
    // The occupied cells in ascending cell order.
    std::vector<CvWeightedColor> Colors() const;

    static uint32_t CellOf(uint8_t r, uint8_t g, uint8_t b) {
        return uint32_t(r >> 2) << 12 | uint32_t(g >> 2) << 6 | uint32_t(b >> 2);
    }

private:
    struct Cell {
        uint32_t count;
        uint32_t r, g, b;  // sums of (channel & 3); below 4 × count, so no overflow for u32 pixel counts
    };
    std::unique_ptr<Cell[]> cells;
};
