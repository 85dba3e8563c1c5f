// The 5-bit-per-channel colour cell grid of the reduction engine and the pixel histogram over it.
// Every cell index is below kCellCount and every cell colour uses the same bit-replicating expansion.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"

constexpr uint32_t kCellCount = 32768;

// 5-bit level of an 8-bit channel: rounded, saturated at 31.
constexpr uint32_t CellLevel(uint8_t c) {
    uint32_t level = (uint32_t(c) + 4) >> 3;
    return level > 31 ? 31 : level;
}

// 8-bit value of a 5-bit level by bit replication (0 -> 0, 16 -> 132, 31 -> 255).
inline uint8_t ExpandLevel(uint32_t level) {
    return uint8_t(level << 3 | level >> 2);
}

// Red in bits 10..14, green in 5..9, blue in 0..4.
inline uint16_t ColorIndex15(uint8_t r, uint8_t g, uint8_t b) {
    return uint16_t(CellLevel(r) << 10 | CellLevel(g) << 5 | CellLevel(b));
}

// The colour a cell stands for: its three levels expanded.
inline void CellColor(uint32_t cell, uint8_t rgb[3]) {
    rgb[0] = ExpandLevel(cell >> 10 & 31);
    rgb[1] = ExpandLevel(cell >> 5 & 31);
    rgb[2] = ExpandLevel(cell & 31);
}

// Zeroes the kCellCount counters, then counts every pixel into the cell of its colour.
void BuildHistogram(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                    uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes, uint32_t* histogram);
// The same without zeroing: adds these rows' pixels to the counts already there.
void AddToHistogram(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height, uint16_t rOffset,
                    uint16_t gOffset, uint16_t bOffset, uint16_t pixelBytes, uint32_t* histogram);
// Number of occupied cells.
uint32_t CountColors(const uint32_t* histogram);
// The colours of the occupied cells in ascending cell order.
CvColorTable HistogramColors(const uint32_t* histogram);
// Moves the counts of the eight cells with every level 0 or 1 into black (cell 0).
void FoldNearBlack(uint32_t* histogram);
