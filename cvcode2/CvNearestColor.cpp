// Candidate lists for the exact nearest-entry search: an entry is a candidate of a cell when it can be nearest
// to some colour in it, i.e. its least distance to the cell is not above the smallest greatest distance of any entry.
#include "cvcode2/CvNearestColor.h"

#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

namespace {
constexpr uint32_t kCells = 32768;

// Least and greatest squared distance from a channel value to the range [low, low + 7].
uint32_t Nearest(int32_t value, int32_t low) {
    const int32_t d = value < low ? low - value : value > low + 7 ? value - low - 7 : 0;
    return uint32_t(d * d);
}
uint32_t Farthest(int32_t value, int32_t low) {
    const int32_t a = value - low, b = low + 7 - value;
    const int32_t d = a > b ? a : b;
    return uint32_t(d * d);
}
}  // namespace

CvNearestColor::CvNearestColor(const CvColorTable& palette)
    : count(palette.GetCount()), cellStart(new (std::nothrow) uint32_t[kCells]()) {
    CV_ASSERT(count >= 1 && count <= 256);
    if (count < 1 || count > 256) CV_THROW(kCvErrBadArgument);
    if (!cellStart) CV_THROW(kCvErrNoMemory);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* c = palette.Entry(i);
        entries[i] = i | uint32_t(c[0]) << 8 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 24;
    }
    pool.push_back(0);  // position 0 means "not listed"
}

uint32_t CvNearestColor::ListCandidates(uint32_t cell) {
    const int32_t low[3] = {int32_t(cell >> 10 & 31) * 8, int32_t(cell >> 5 & 31) * 8, int32_t(cell & 31) * 8};
    uint32_t least[256], bound = UINT32_MAX;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t nearest = 0, farthest = 0;
        for (uint32_t c = 0; c < 3; ++c) {
            const int32_t value = int32_t(entries[i] >> (8 + 8 * c) & 255);
            nearest += Nearest(value, low[c]);
            farthest += Farthest(value, low[c]);
        }
        least[i] = nearest;
        if (farthest < bound) bound = farthest;
    }
    const uint32_t start = uint32_t(pool.size());
    try {
        pool.push_back(0);
        for (uint32_t i = 0; i < count; ++i)
            if (least[i] <= bound) pool.push_back(entries[i]);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
    pool[start] = uint32_t(pool.size() - start - 1);
    cellStart[cell] = start;
    return start;
}
