// Where a dialog opens on the screen, and pixel sizes designed for 96 DPI scaled to the screen's DPI.
// A placed dialog's top-left corner always lies on the screen.
#include "uicore/HcDialogPlacement.h"

#include <algorithm>

namespace {

// The start of a span of `size` centred on [from, to), moved inside [low, high) where it fits, else at `low`.
int32_t CentreWithin(int64_t from, int64_t to, int64_t low, int64_t high, int32_t size) {
    const int64_t start = from + (to - from - size) / 2;
    return int32_t(std::max(low, std::min(start, high - size)));
}

}  // namespace

bool IsStoredPlacement(const HcDialogRect& saved) {
    return saved.width > 0 && saved.height > 0;
}

HcDialogRect PlaceStoredDialog(const HcDialogRect& saved, int32_t screenWidth, int32_t screenHeight) {
    // 64-bit: a screen near the 32-bit limit must not wrap the product.
    const int32_t maxLeft = int32_t(int64_t(std::max(0, screenWidth)) * 4 / 5);
    const int32_t maxTop = int32_t(int64_t(std::max(0, screenHeight)) * 4 / 5);
    return {std::clamp(saved.left, 0, maxLeft), std::clamp(saved.top, 0, maxTop), saved.height, saved.width};
}

HcDialogRect FirstPlacement(const HcOpeningRoom& room, const HcDialogShape& dialog) {
    const HcPixelRect& work = room.workArea;
    const int32_t across = std::max(1, dialog.panesAcross);
    int64_t growth = std::max(0, work.Height() / 3 - dialog.paneSide);
    growth = std::min({growth, int64_t(work.Width() - dialog.width) / across, int64_t(work.Height() - dialog.height)});
    growth = std::max<int64_t>(0, growth);
    const int32_t width = int32_t(dialog.width + growth * across), height = int32_t(dialog.height + growth);
    const bool hasHost = room.host.Width() > 0 && room.host.Height() > 0;
    const HcPixelRect& around = hasHost ? room.host : work;
    return {CentreWithin(around.left, around.right, work.left, work.right, width),
            CentreWithin(around.top, around.bottom, work.top, work.bottom, height), height, width};
}

int32_t ScaleForDpi(int32_t pixelsAt96, int32_t dpi) {
    if (dpi <= 0) return pixelsAt96;
    int64_t scaled = int64_t(pixelsAt96) * dpi;
    int64_t half = scaled < 0 ? -48 : 48;
    return int32_t((scaled + half) / 96);
}
