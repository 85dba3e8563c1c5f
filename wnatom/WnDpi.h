// The display resolution a window is drawn at, and layout sizes given at 96 dots per inch scaled to it.
// Scaling is exact at 96 and rounds to the nearest pixel elsewhere.
#pragma once

#include <windows.h>

#include "wnatom/WnGdi.h"

constexpr int kWnBaseDpi = 96;

// Dots per inch of the window's display context; the base 96 when the window has none.
inline int WnWindowDpi(HWND window) {
    WnWindowDC dc(window);
    const int dpi = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kWnBaseDpi;
}

// A size or position given in pixels at 96 DPI, for a window at `dpi`.
inline int WnScaleForDpi(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kWnBaseDpi);
}

// Positions and sizes given at 96 DPI turned into a window's pixels, and the window's pixels back into them.
struct WnDpiScale {
    int dpi = kWnBaseDpi;

    static WnDpiScale Of(HWND window) { return {WnWindowDpi(window)}; }
    int operator()(int pixels) const { return WnScaleForDpi(pixels, dpi); }
    // The extent from `start` to `start + length`, so that neighbouring pieces scaled alike meet without gaps.
    int Extent(int start, int length) const { return (*this)(start + length) - (*this)(start); }
    // A window pixel back at 96 DPI, rounded down, so every window pixel maps into the piece that covers it.
    int ToBase(int pixels) const {
        const int scaled = pixels * kWnBaseDpi;
        return scaled >= 0 ? scaled / dpi : -((-scaled + dpi - 1) / dpi);
    }
};
