// Counting the pixels of a captured picture that differ from what a rule says they should be, so a test compares
// a whole area in one assertion and a failure says how much of it is wrong.
#pragma once

#include <cstdint>

// Pixels of `shown` (anything with At(x, y)) that differ from `expected(x, y)` over a w x h area at (left, top);
// `expected` takes coordinates relative to that corner.
template <class Pixels, class Expected>
int PixelMismatches(const Pixels& shown, int left, int top, int w, int h, Expected expected) {
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) wrong += shown.At(left + x, top + y) != expected(x, y);
    return wrong;
}

// The per-channel average of `pixel(x, y)` (0xRRGGBB) over the part of block (bx, by), `side` pixels square, that
// lies in a width x height picture: what a zoomed-out preview shows there.
template <class Pixel>
uint32_t BlockAverage(Pixel pixel, uint32_t bx, uint32_t by, uint32_t side, uint32_t width, uint32_t height) {
    uint32_t sum[3] = {}, count = 0;
    for (uint32_t y = by * side; y < (by + 1) * side && y < height; ++y)
        for (uint32_t x = bx * side; x < (bx + 1) * side && x < width; ++x, ++count)
            for (int c = 0; c < 3; ++c) sum[c] += pixel(x, y) >> (16 - 8 * c) & 0xFF;
    return sum[0] / count << 16 | sum[1] / count << 8 | sum[2] / count;
}
