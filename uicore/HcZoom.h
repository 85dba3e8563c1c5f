// The fifteen zoom steps of the preview panes, from 1 : 8 to 8 : 1, as a ratio num / den.
// Level z >= 0 is (z + 1) : 1 and level z < 0 is 1 : (1 - z), so one of num and den is always 1.
#pragma once

#include <cstdint>
#include <string>

struct HcZoom {
    static constexpr int kMinLevel = -7;
    static constexpr int kMaxLevel = 7;

    int16_t level = 0;
    int16_t num = 1;
    uint16_t den = 1;

    static bool IsLevel(int level) { return level >= kMinLevel && level <= kMaxLevel; }
    // The ratio of a level; one outside kMinLevel..kMaxLevel is clamped to the nearest end.
    static HcZoom ForLevel(int level);

    // ceil(size x num / den): the size of `size` image pixels on screen (sizes below 2^28 fit the result).
    int32_t Scale(uint32_t size) const;
    bool ZoomedOut() const { return den > 1; }
    bool CanZoomIn() const { return level < kMaxLevel; }
    bool CanZoomOut() const { return level > kMinLevel; }
    // The level one step in or out, staying at the ends.
    int StepLevel(bool in) const;
    // "4 : 1", "1 : 1", "1 : 3".
    std::string Label() const;
};
