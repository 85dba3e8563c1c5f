// Bresenham iteration with integer decisions only.
// The normalised line always runs toward increasing x, so the end test is one comparison.
#include "cvcode2/CvLine.h"

#include <cstdlib>
#include <utility>

#include "cvcode2/CvErrorCode.h"

void CvLine::Init(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    x0 = ax;
    y0 = ay;
    x1 = bx;
    y1 = by;
    dx = std::abs(x0 - x1);
    dy = std::abs(y0 - y1);
    octant = 0;
    if (dy > dx) {
        std::swap(x0, y0);
        std::swap(x1, y1);
        std::swap(dx, dy);
        octant |= 2;
    }
    if (x0 > x1) {
        octant |= 1;
        x0 = -x0;
        x1 = -x1;
    }
    x = x0;
    y = y0;
    incStraight = 2 * dy;
    incDiagonal = 2 * (dy - dx);
    decision = 2 * dy - dx;
    active = true;
}

bool CvLine::Next(int* outX, int* outY) {
    if (!active) CV_THROW(kCvErrBadDepth);
    switch (octant) {
        case 0: *outX = x, *outY = y; break;
        case 1: *outX = -x, *outY = y; break;
        case 2: *outX = y, *outY = x; break;
        default: *outX = y, *outY = -x; break;
    }
    if (x >= x1) {
        active = false;
        return false;
    }
    ++x;
    if (decision >= 0) {
        y += y0 < y1 ? 1 : -1;
        decision += incDiagonal;
    } else {
        decision += incStraight;
    }
    return true;
}
