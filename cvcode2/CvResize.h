// Resampling of raster blocks to another size: the truncating area sum, an exact rounded area average, and the
// indexed variant that resamples in RGB and maps back to the palette. Only the first `channels` bytes of a pixel move.
#pragma once

#include <cstdint>

class CvColorTable;

namespace CvResize {

// Area-weighted sum in 1/1024 fixed point; every contribution is truncated. The destination's channels are zeroed
// first. With `subsample`, large sources are thinned to every fy-th row and fx-th pixel before resampling.
void ResizeAreaSum(const uint8_t* src, uint8_t* dst, uint32_t channels, uint32_t srcPixelBytes, uint32_t dstPixelBytes,
                   uint32_t srcRowBytes, uint32_t dstRowBytes, uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth,
                   uint32_t dstHeight, bool subsample);

// Each destination channel is the rounded mean of the source area under the destination pixel, weighted exactly.
void ResizeAverage(const uint8_t* src, uint8_t* dst, uint32_t channels, uint32_t srcPixelBytes, uint32_t dstPixelBytes,
                   uint32_t srcRowBytes, uint32_t dstRowBytes, uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth,
                   uint32_t dstHeight);

// One byte per pixel indexing `table`: averaged in RGB, then each colour mapped to the palette through a
// 32768-cell inverse colour map (the nearest entry to each 5-bit cell's centre, filled in as cells are met).
void ResizeIndexed(const uint8_t* src, uint8_t* dst, uint32_t srcRowBytes, uint32_t dstRowBytes, uint32_t srcWidth,
                   uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight, const CvColorTable& table);

}  // namespace CvResize
