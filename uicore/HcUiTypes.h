// Signed pixel points, rectangles and colours shared by the panes' and the controls' portable logic.
// Rectangles are half-open, fields in the library's order (left, top, bottom, right); they may lie left of or above 0.
#pragma once

#include <cstdint>

struct HcPoint {
    int32_t x = 0, y = 0;
};

inline bool operator==(HcPoint a, HcPoint b) {
    return a.x == b.x && a.y == b.y;
}

struct HcPixelRect {
    int32_t left, top, bottom, right;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Contains(HcPoint point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    static HcPixelRect At(int32_t x, int32_t y, int32_t width, int32_t height) { return {x, y, y + height, x + width}; }
};

inline bool operator==(const HcPixelRect& a, const HcPixelRect& b) {
    return a.left == b.left && a.top == b.top && a.bottom == b.bottom && a.right == b.right;
}

struct HcRgb {
    uint8_t red, green, blue;
};

inline bool operator==(HcRgb a, HcRgb b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
