// The zoom steps of the preview panes as a ratio num / den: 8 : 1 down to 1 : 8 in whole steps, then halving
// (1 : 16, 1 : 32, ...) for pictures too large to fit a pane at 1 : 8. One of num and den is always 1.
#pragma once

#include <cstdint>
#include <string>

struct HcZoom {
    static constexpr int kMaxLevel = 7;         // 8 : 1
    static constexpr int kSteadyMinLevel = -7;  // 1 : 8, offered for every picture
    static constexpr int kMinLevel = -19;       // 1 : 32768, below which no picture of 2^20 pixels needs to go

    int16_t level = 0;
    int16_t num = 1;
    uint16_t den = 1;

    static bool IsLevel(int level) { return level >= kMinLevel && level <= kMaxLevel; }
    // Level z >= 0 is (z + 1) : 1, -7 <= z < 0 is 1 : (1 - z), and below -7 each level halves again.
    // A level outside kMinLevel..kMaxLevel is clamped to the nearest end.
    static HcZoom ForLevel(int level);

    // ceil(size x num / den): the size of `size` image pixels on screen (sizes below 2^28 fit the result).
    int32_t Scale(uint32_t size) const;
    bool ZoomedOut() const { return den > 1; }
    // "4 : 1", "1 : 1", "1 : 3", "1 : 16".
    std::string Label() const;
};
