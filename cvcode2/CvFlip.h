// In-place mirroring of raster blocks: rows top to bottom, pixels left to right, 1-bit pixels bit by bit.
// Only the pixels named by the sizes move; bytes between rows and padding bits after the last pixel stay as they were.
#pragma once

#include <cstdint>

namespace CvFlip {

// Swaps row i with row height - 1 - i, unitBytes x unitsPerRow bytes per row.
void FlipRows(uint8_t* pixels, uint32_t unitBytes, uint32_t rowBytes, uint32_t unitsPerRow, uint32_t height);
// Reverses the order of `width` pixels of pixelBytes bytes in every row.
void FlipPixels(uint8_t* pixels, uint32_t pixelBytes, uint32_t rowBytes, uint32_t width, uint32_t height);
// Reverses the order of `width` 1-bit pixels (most significant bit first) in every row.
void FlipBits(uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height);

// Copies n bits from bit srcBit of src to bit dstBit of dst (most significant bit first); other dst bits stay.
void CopyBits(const uint8_t* src, uint64_t srcBit, uint8_t* dst, uint64_t dstBit, uint64_t n);

}  // namespace CvFlip
