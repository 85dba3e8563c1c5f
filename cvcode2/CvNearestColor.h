// Exact nearest palette entry of any 8-bit colour: the palette is searched only among the candidates of the
// colour's 4 × 4 × 4 cell, listed on first use. Ties go to the lower index, as in a search of the whole palette.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "cvcode2/CvColorTable.h"

class CvNearestColor {
public:
    // 1..256 entries (kCvErrBadArgument otherwise); the palette is copied.
    explicit CvNearestColor(const CvColorTable& palette);

    // The nearest entry's index in bits 0-7 and its red, green and blue in the bytes above, with its squared
    // distance to the colour. Error diffusion waits for every answer before it can go on: most cells hold at
    // most four candidates, found with one table read and compared without a branch.
    uint32_t Entry(uint8_t r, uint8_t g, uint8_t b, uint32_t& distance) {
        const uint32_t cell = uint32_t(r >> 2) << 12 | uint32_t(g >> 2) << 6 | uint32_t(b >> 2);
        const uint32_t word = cells[cell];
        const uint32_t key = word - kUnlisted < 2
                                 ? UnusualKey(cell, r, g, b)
                                 : Least(Least(Key(word & 255, r, g, b), Key(word >> 8 & 255, r, g, b)),
                                         Least(Key(word >> 16 & 255, r, g, b), Key(word >> 24, r, g, b)));
        distance = (key >> 8) - kKeyOffset + uint32_t(r * r + g * g + b * b);
        return entries[key & 255];
    }
    uint32_t Entry(uint8_t r, uint8_t g, uint8_t b) {
        uint32_t distance;
        return Entry(r, g, b, distance);
    }
    uint32_t Index(uint8_t r, uint8_t g, uint8_t b) { return Entry(r, g, b) & 255; }

private:
    // A cell's word: the indices of its candidates in its four bytes, ascending, a shorter list repeating its
    // last one (which changes no least key); or one of these, which no ascending list can be.
    static constexpr uint32_t kUnlisted = 1, kLongList = 2;
    // Keeps every key positive: 2 × (r·r' + g·g' + b·b') is at most this.
    static constexpr uint32_t kKeyOffset = 2 * 3 * 255 * 255;

    // The squared distance less the colour's own square (the same for every entry) plus the offset, above the
    // index: the least key is the nearest entry, the lower index on a tie.
    uint32_t Key(uint32_t i, uint8_t r, uint8_t g, uint8_t b) const {
        return uint32_t(square[i] - (scaled[0][i] * r + scaled[1][i] * g + scaled[2][i] * b));
    }
    static uint32_t Least(uint32_t a, uint32_t b) { return a < b ? a : b; }
    // A cell not listed yet, or one of more than four candidates.
    uint32_t UnusualKey(uint32_t cell, uint8_t r, uint8_t g, uint8_t b);
    // A fine cell's candidates are drawn from those of the coarse 8 × 8 × 8 cell around it, which are drawn
    // from the whole palette.
    void ListFine(uint32_t cell);
    const uint32_t* CoarseList(uint32_t cell);
    // Writes to `to` the entries of `from` that may be nearest somewhere in the cube of side `side` at `low`;
    // returns how many.
    static uint32_t List(const uint32_t* from, uint32_t count, const int32_t low[3], int32_t side, uint32_t* to);
    // Drops the entries that another one beats everywhere in the cube; the list stays in index order.
    static uint32_t Prune(uint32_t* list, uint32_t count, const int32_t low[3], int32_t side);

    uint32_t entries[256] = {};  // packed as Entry returns them
    // Per entry, channels apart so that a key reads plain arrays: each channel times 2 × 256, and
    // (its squared length + kKeyOffset) << 8 | its index.
    int32_t scaled[3][256] = {};
    int32_t square[256] = {};
    uint32_t count = 0;
    std::unique_ptr<uint32_t[]> cells;
    // Per coarse cell: the position of its list in coarsePool (length, then entries), 0 while unlisted.
    std::unique_ptr<uint32_t[]> coarseStart;
    std::vector<uint32_t> coarsePool;
    // Per fine cell of more than four candidates, the position of its list in longPool; made at the first.
    std::vector<uint32_t> longStart, longPool;
};
