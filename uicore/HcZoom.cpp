// Zoom levels to ratios, scaled sizes and the label the panes show.
// Products are taken in 64 bits, so any 32-bit image size scales without overflow before it is narrowed.
#include "uicore/HcZoom.h"

#include <algorithm>
#include <cstdio>

HcZoom HcZoom::ForLevel(int level) {
    const int z = std::clamp(level, kMinLevel, kMaxLevel);
    HcZoom zoom;
    zoom.level = int16_t(z);
    zoom.num = int16_t(z >= 0 ? z + 1 : 1);
    if (z >= 0)
        zoom.den = 1;
    else if (z >= kSteadyMinLevel)
        zoom.den = uint16_t(1 - z);
    else
        zoom.den = uint16_t(8u << (kSteadyMinLevel - z));
    return zoom;
}

int32_t HcZoom::Scale(uint32_t size) const {
    return int32_t((uint64_t(size) * uint64_t(num) + den - 1) / den);
}

std::string HcZoom::Label() const {
    char text[16];
    if (level >= 0)
        std::snprintf(text, sizeof text, "%d : 1", int(num));
    else
        std::snprintf(text, sizeof text, "1 : %d", int(den));
    return text;
}
