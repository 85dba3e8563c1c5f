// A Bresenham line iterator: every point from the first end point to the second, both included.
// Internally the line is normalised to the first octant; each point is mapped back before it is returned.
#pragma once

#include <cstdint>

class CvLine {
public:
    void Init(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    // Writes the current point and advances; false when the point written was the last. Raises 38 when inactive.
    bool Next(int* x, int* y);
    void Stop() { active = false; }
    bool IsActive() const { return active; }

private:
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool active = false;
    int32_t dx = 0, dy = 0;
    int32_t incStraight = 0;
    int32_t incDiagonal = 0;
    int32_t decision = 0;
    uint8_t octant = 0;  // bit 1: x and y swapped (steep); bit 0: major axis negated
    int32_t x = 0, y = 0;
};
