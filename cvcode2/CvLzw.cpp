// Code sizes and the interlaced row order, shared by both directions of the LZW codec and by the GIF container.
// Every listed pass has at least one row, and together the passes visit each row exactly once.
#include "cvcode2/CvLzw.h"

#include "cvcode2/CvErrorCode.h"

uint8_t CodeSizeForColors(uint32_t n) {
    if (n == 0 || n > 256) CV_THROW(kCvErrSizeMismatch);
    uint8_t bits = 1;
    while ((1u << bits) < n) ++bits;
    return bits;
}

uint32_t CvRowPasses(uint32_t height, bool interlaced, CvRowPass passes[4]) {
    if (!interlaced) {
        if (height == 0) return 0;
        passes[0] = {0, 1, height};
        return 1;
    }
    static const uint32_t kFirst[4] = {0, 4, 2, 1};
    static const uint32_t kStep[4] = {8, 8, 4, 2};
    uint32_t count = 0;
    for (int i = 0; i < 4; ++i)
        if (height > kFirst[i]) passes[count++] = {kFirst[i], kStep[i], (height - kFirst[i] + kStep[i] - 1) / kStep[i]};
    return count;
}
