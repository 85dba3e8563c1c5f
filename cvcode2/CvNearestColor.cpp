// Candidate lists for the exact nearest-entry search: an entry is a candidate of a cell when it can be nearest
// to some colour in it, i.e. its least distance to the cell is not above the smallest greatest distance of any entry.
#include "cvcode2/CvNearestColor.h"

#include <algorithm>
#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

namespace {
constexpr uint32_t kCoarseCells = 1u << 15, kFineCells = 1u << 18;

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

void Append(std::vector<uint32_t>& pool, const uint32_t* values, uint32_t n) {
    try {
        pool.insert(pool.end(), values, values + n);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
}
}  // namespace

CvNearestColor::CvNearestColor(const CvColorTable& palette)
    : count(palette.GetCount()),
      cells(CvAllocated(new (std::nothrow) uint32_t[kFineCells])),
      coarseStart(CvAllocated(new (std::nothrow) uint32_t[kCoarseCells]())) {
    CV_ASSERT(count >= 1 && count <= 256);
    if (count < 1 || count > 256) CV_THROW(kCvErrBadArgument);
    std::fill_n(cells.get(), kFineCells, kUnlisted);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* c = palette.Entry(i);
        entries[i] = i | uint32_t(c[0]) << 8 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 24;
        for (uint32_t k = 0; k < 3; ++k) scaled[k][i] = int32_t(c[k]) * 512;
        square[i] = int32_t((uint32_t(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]) + kKeyOffset) << 8 | i);
    }
    const uint32_t unlisted = 0;  // position 0 of the pool means "not listed"
    Append(coarsePool, &unlisted, 1);
}

uint32_t CvNearestColor::UnusualKey(uint32_t cell, uint8_t r, uint8_t g, uint8_t b) {
    if (cells[cell] == kUnlisted) ListFine(cell);
    const uint32_t word = cells[cell];
    uint32_t best = UINT32_MAX;
    if (word != kLongList) {
        for (uint32_t k = 0; k < 4; ++k) best = Least(best, Key(word >> (8 * k) & 255, r, g, b));
        return best;
    }
    const uint32_t* list = &longPool[longStart[cell]];
    for (uint32_t i = 1; i <= list[0]; ++i) best = Least(best, Key(list[i] & 255, r, g, b));
    return best;
}

const uint32_t* CvNearestColor::CoarseList(uint32_t cell) {
    if (!coarseStart[cell]) {
        const int32_t low[3] = {int32_t(cell >> 10 & 31) * 8, int32_t(cell >> 5 & 31) * 8, int32_t(cell & 31) * 8};
        uint32_t list[1 + 256];
        list[0] = List(entries, count, low, 8, list + 1);
        const uint32_t start = uint32_t(coarsePool.size());
        Append(coarsePool, list, list[0] + 1);
        coarseStart[cell] = start;
    }
    return &coarsePool[coarseStart[cell]];
}

void CvNearestColor::ListFine(uint32_t cell) {
    const uint32_t r = cell >> 12 & 63, g = cell >> 6 & 63, b = cell & 63;
    const uint32_t* coarse = CoarseList((r >> 1) << 10 | (g >> 1) << 5 | b >> 1);
    const int32_t low[3] = {int32_t(r) * 4, int32_t(g) * 4, int32_t(b) * 4};
    uint32_t list[1 + 256];
    uint32_t n = List(coarse + 1, coarse[0], low, 4, list + 1);
    // Entries that can never be nearest only cost time in the search once there are more than four.
    if (n > 4) n = Prune(list + 1, n, low, 4);
    if (n <= 4) {
        uint32_t word = 0;
        for (uint32_t k = 0; k < 4; ++k) word |= (list[1 + (k < n ? k : n - 1)] & 255) << (8 * k);
        cells[cell] = word;
        return;
    }
    try {
        if (longStart.empty()) longStart.assign(kFineCells, 0);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
    list[0] = n;
    longStart[cell] = uint32_t(longPool.size());
    Append(longPool, list, n + 1);
    cells[cell] = kLongList;
}

uint32_t CvNearestColor::Prune(uint32_t* list, uint32_t n, const int32_t low[3], int32_t side) {
    bool beaten[256] = {};
    for (uint32_t i = 0; i < n; ++i)
        for (uint32_t j = 0; j < n && !beaten[i]; ++j)
            beaten[i] = j != i && !beaten[j] && Beaten(list[i], list[j], low, side);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < n; ++i)
        if (!beaten[i]) list[kept++] = list[i];
    return kept;
}

uint32_t CvNearestColor::List(const uint32_t* from, uint32_t n, const int32_t low[3], int32_t side, uint32_t* to) {
    // Without a branch, so that the compiler runs the whole palette through vector registers.
    uint32_t least[256], bound = UINT32_MAX;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t nearest = 0, farthest = 0;
        for (uint32_t c = 0; c < 3; ++c) {
            const int32_t value = Channel(from[i], c), below = low[c] - value, above = value - (low[c] + side - 1);
            const int32_t outside = std::max(std::max(below, above), 0), across = std::max(-below, -above);
            nearest += uint32_t(outside * outside);
            farthest += uint32_t(across * across);
        }
        least[i] = nearest;
        bound = std::min(bound, farthest);
    }
    uint32_t kept = 0;
    for (uint32_t i = 0; i < n; ++i) {
        to[kept] = from[i];
        kept += least[i] <= bound;
    }
    return kept;
}
