// What the LZW encoder and decoder share with the GIF container: code sizes for colour counts and the row
// order of plain and interlaced frames. Passes without rows are never listed.
#pragma once

#include <cstdint>
#include <functional>

// Bits that index n palette entries (1 for n <= 2 ... 8 for n <= 256); 0 or more than 256 raises kCvErrSizeMismatch.
uint8_t CodeSizeForColors(uint32_t n);

struct CvRowPass {
    uint32_t firstRow;
    uint32_t rowStep;
    uint32_t rowCount;
};

// The passes covering `height` rows, in file order: all rows at once, or the four interlaced passes
// (first rows 0, 4, 2, 1; steps 8, 8, 4, 2). Returns how many were filled in.
uint32_t CvRowPasses(uint32_t height, bool interlaced, CvRowPass passes[4]);

// For an image coded otherwise than its indices stand (without changing it): writes the coded indices of row y
// into `out` (the image's width of them).
using CvRowRewrite = std::function<void(uint32_t y, uint8_t* out)>;
