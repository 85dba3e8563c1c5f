// Plain values the preview panes pass around: inclusive pixel bounds and a 32-bit B, G, R, 0 pixel buffer.
// None of them owns memory; a buffer's rows are exactly width x 4 bytes apart, top row first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "uicore/HcUiTypes.h"

// Both corners included: a single pixel has left == right and top == bottom.
struct HcPixelBounds {
    int32_t left = 0, top = 0, right = -1, bottom = -1;
    bool Empty() const { return right < left || bottom < top; }
    void Include(HcPoint p) {
        if (Empty()) {
            left = right = p.x;
            top = bottom = p.y;
            return;
        }
        if (p.x < left) left = p.x;
        if (p.x > right) right = p.x;
        if (p.y < top) top = p.y;
        if (p.y > bottom) bottom = p.y;
    }
};

// The memory of an off-screen bitmap as the panes see it: pixels B, G, R, 0.
struct HcBgrxBuffer {
    uint8_t* pixels = nullptr;
    uint32_t width = 0, height = 0;

    uint8_t* At(uint32_t x, uint32_t y) const { return pixels + (size_t(y) * width + x) * 4; }
    void SetRGB(uint32_t x, uint32_t y, const uint8_t* rgb) const {
        uint8_t* p = At(x, y);
        p[0] = rgb[2];
        p[1] = rgb[1];
        p[2] = rgb[0];
        p[3] = 0;
    }
};
