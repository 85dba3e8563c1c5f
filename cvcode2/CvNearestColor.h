// Exact nearest palette entry of any 8-bit colour: the palette is searched only among the candidates of the
// colour's 4 × 4 × 4 cell, listed on first use. Ties go to the lower index, as in a search of the whole palette.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "cvcode2/CvColorTable.h"

class CvNearestColor {
public:
    // 1..256 entries (error 27 otherwise); the palette is copied.
    explicit CvNearestColor(const CvColorTable& palette);

    // The nearest entry's index in bits 0-7 and its red, green and blue in the bytes above.
    // Neighbouring pixels repeat colours often, so the last answer is kept.
    uint32_t Entry(uint8_t r, uint8_t g, uint8_t b) {
        const uint32_t color = CvColorTable::Pack(r, g, b);
        if (color == lastColor) return lastEntry;
        const uint32_t cell = uint32_t(r >> 2) << 12 | uint32_t(g >> 2) << 6 | uint32_t(b >> 2);
        uint32_t start = fineStart[cell];
        if (!start) start = ListFine(cell);
        const uint32_t* candidate = &pool[start];
        // Distance above the index: the least key is the nearest entry, the lower index on a tie.
        uint32_t best = UINT32_MAX;
        for (uint32_t i = 1, end = candidate[0] + 1; i < end; ++i) {
            const uint32_t key = Distance(candidate[i], r, g, b) << 8 | (candidate[i] & 255);
            best = key < best ? key : best;
        }
        lastColor = color;
        return lastEntry = entries[best & 255];
    }
    uint32_t Index(uint8_t r, uint8_t g, uint8_t b) { return Entry(r, g, b) & 255; }

private:
    // At most 3 × 255², so it leaves the top 8 bits free.
    static uint32_t Distance(uint32_t entry, uint8_t r, uint8_t g, uint8_t b) {
        const int32_t dr = int32_t(entry >> 8 & 255) - r, dg = int32_t(entry >> 16 & 255) - g,
                      db = int32_t(entry >> 24) - b;
        return uint32_t(dr * dr + dg * dg + db * db);
    }
    // A fine cell's candidates are drawn from those of the coarse 8 × 8 × 8 cell around it, which are drawn
    // from the whole palette; each list is appended to the pool (its length, then its entries in index order).
    uint32_t ListFine(uint32_t cell);
    uint32_t ListCoarse(uint32_t cell);
    // Lists the entries of `from` that may be nearest somewhere in the cube of side `side` at `low`.
    uint32_t List(const uint32_t* from, uint32_t count, const int32_t low[3], int32_t side);
    void Prune(uint32_t start, const int32_t low[3], int32_t side);

    uint32_t entries[256] = {};  // packed as Entry returns them
    uint32_t count = 0;
    uint32_t lastColor = UINT32_MAX, lastEntry = 0;      // no packed colour is UINT32_MAX
    std::unique_ptr<uint32_t[]> coarseStart, fineStart;  // per cell: the list's place in the pool, 0 while unlisted
    std::vector<uint32_t> pool;
};
