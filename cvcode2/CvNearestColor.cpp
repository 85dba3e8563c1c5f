// Candidate lists for the exact nearest-entry search: an entry is a candidate of a cell when it can be nearest
// to some colour in it, i.e. its least distance to the cell is not above the smallest greatest distance of any entry.
#include "cvcode2/CvNearestColor.h"

#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

namespace {
constexpr uint32_t kCoarseCells = 1u << 15, kFineCells = 1u << 18;

// Least and greatest squared distance from a channel value to the range [low, low + side − 1].
uint32_t Nearest(int32_t value, int32_t low, int32_t side) {
    const int32_t d = value < low ? low - value : value > low + side - 1 ? value - low - side + 1 : 0;
    return uint32_t(d * d);
}
uint32_t Farthest(int32_t value, int32_t low, int32_t side) {
    const int32_t a = value - low, b = low + side - 1 - value;
    const int32_t d = a > b ? a : b;
    return uint32_t(d * d);
}

int32_t Channel(uint32_t entry, uint32_t c) {
    return int32_t(entry >> (8 + 8 * c) & 255);
}

// True when `other` wins over `entry` at every colour of the cube: |p − other|² − |p − entry|² is linear in p,
// so its greatest value is at the corner each channel's sign picks. A tie goes to the lower index.
bool Beaten(uint32_t entry, uint32_t other, const int32_t low[3], int32_t side) {
    int32_t most = 0;
    for (uint32_t c = 0; c < 3; ++c) {
        const int32_t e = Channel(entry, c), o = Channel(other, c), slope = 2 * (e - o);
        most += o * o - e * e + (slope > 0 ? slope * (low[c] + side - 1) : slope * low[c]);
    }
    return (other & 255) < (entry & 255) ? most <= 0 : most < 0;
}
}  // namespace

CvNearestColor::CvNearestColor(const CvColorTable& palette)
    : count(palette.GetCount()),
      coarseStart(new (std::nothrow) uint32_t[kCoarseCells]()),
      fineStart(new (std::nothrow) uint32_t[kFineCells]()) {
    CV_ASSERT(count >= 1 && count <= 256);
    if (count < 1 || count > 256) CV_THROW(kCvErrBadArgument);
    if (!coarseStart || !fineStart) CV_THROW(kCvErrNoMemory);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* c = palette.Entry(i);
        entries[i] = i | uint32_t(c[0]) << 8 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 24;
    }
    pool.push_back(0);  // position 0 means "not listed"
}

uint32_t CvNearestColor::ListCoarse(uint32_t cell) {
    const int32_t low[3] = {int32_t(cell >> 10 & 31) * 8, int32_t(cell >> 5 & 31) * 8, int32_t(cell & 31) * 8};
    return coarseStart[cell] = List(entries, count, low, 8);
}

uint32_t CvNearestColor::ListFine(uint32_t cell) {
    const uint32_t r = cell >> 12 & 63, g = cell >> 6 & 63, b = cell & 63;
    const uint32_t coarse = (r >> 1) << 10 | (g >> 1) << 5 | b >> 1;
    const uint32_t from = coarseStart[coarse] ? coarseStart[coarse] : ListCoarse(coarse);
    // The coarse list is copied out first: listing may move the pool.
    uint32_t candidates[256];
    const uint32_t n = pool[from];
    for (uint32_t i = 0; i < n; ++i) candidates[i] = pool[from + 1 + i];
    const int32_t low[3] = {int32_t(r) * 4, int32_t(g) * 4, int32_t(b) * 4};
    const uint32_t start = List(candidates, n, low, 4);
    Prune(start, low, 4);
    return fineStart[cell] = start;
}

// Drops the listed entries that another listed entry beats everywhere in the cube; the list stays in index order.
void CvNearestColor::Prune(uint32_t start, const int32_t low[3], int32_t side) {
    uint32_t* list = &pool[start + 1];
    const uint32_t n = pool[start];
    bool beaten[256] = {};
    for (uint32_t i = 0; i < n; ++i)
        for (uint32_t j = 0; j < n && !beaten[i]; ++j)
            beaten[i] = j != i && !beaten[j] && Beaten(list[i], list[j], low, side);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < n; ++i)
        if (!beaten[i]) list[kept++] = list[i];
    pool[start] = kept;
    pool.resize(start + 1 + kept);
}

uint32_t CvNearestColor::List(const uint32_t* from, uint32_t n, const int32_t low[3], int32_t side) {
    uint32_t least[256], bound = UINT32_MAX;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t nearest = 0, farthest = 0;
        for (uint32_t c = 0; c < 3; ++c) {
            const int32_t value = Channel(from[i], c);
            nearest += Nearest(value, low[c], side);
            farthest += Farthest(value, low[c], side);
        }
        least[i] = nearest;
        if (farthest < bound) bound = farthest;
    }
    const uint32_t start = uint32_t(pool.size());
    try {
        pool.push_back(0);
        for (uint32_t i = 0; i < n; ++i)
            if (least[i] <= bound) pool.push_back(from[i]);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
    pool[start] = uint32_t(pool.size() - start - 1);
    return start;
}
