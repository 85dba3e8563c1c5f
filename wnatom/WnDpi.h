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
