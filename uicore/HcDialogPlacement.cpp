// Where a dialog opens on the screen, and pixel sizes designed for 96 DPI scaled to the screen's DPI.
// A placed dialog's top-left corner always lies on the screen.
#include "uicore/HcDialogPlacement.h"

#include <algorithm>

HcDialogRect PlaceDialog(const HcDialogRect& saved, int32_t screenWidth, int32_t screenHeight, int32_t dialogWidth,
                         int32_t dialogHeight) {
    if (saved.width > 0 && saved.height > 0) {
        // 64-bit: a screen near the 32-bit limit must not wrap the product.
        int32_t maxLeft = int32_t(int64_t(std::max(0, screenWidth)) * 4 / 5);
        int32_t maxTop = int32_t(int64_t(std::max(0, screenHeight)) * 4 / 5);
        return {std::clamp(saved.left, 0, maxLeft), std::clamp(saved.top, 0, maxTop), saved.height, saved.width};
    }
    // A dialog larger than the screen keeps its title bar reachable at the top left.
    int32_t left = int32_t(std::max<int64_t>(0, (int64_t(screenWidth) - dialogWidth) / 2));
    int32_t top = int32_t(std::max<int64_t>(0, (int64_t(screenHeight) - dialogHeight) * 2 / 5));
    return {left, top, dialogHeight, dialogWidth};
}

int32_t ScaleForDpi(int32_t pixelsAt96, int32_t dpi) {
    if (dpi <= 0) return pixelsAt96;
    int64_t scaled = int64_t(pixelsAt96) * dpi;
    int64_t half = scaled < 0 ? -48 : 48;
    return int32_t((scaled + half) / 96);
}
