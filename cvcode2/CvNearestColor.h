// Exact nearest palette entry of any 8-bit colour: the palette is searched only among the candidates of the
// colour's 8 × 8 × 8 cell, listed on first use. Ties go to the lower index, as in a search of the whole palette.
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
    uint32_t Entry(uint8_t r, uint8_t g, uint8_t b) {
        const uint32_t cell = uint32_t(r >> 3) << 10 | uint32_t(g >> 3) << 5 | uint32_t(b >> 3);
        uint32_t start = cellStart[cell];
        if (!start) start = ListCandidates(cell);
        const uint32_t* candidate = &pool[start];
        uint32_t best = candidate[1], bestDistance = Distance(best, r, g, b);
        for (uint32_t i = 2, end = candidate[0] + 1; i < end; ++i) {
            const uint32_t distance = Distance(candidate[i], r, g, b);
            if (distance < bestDistance) best = candidate[i], bestDistance = distance;
        }
        return best;
    }
    uint32_t Index(uint8_t r, uint8_t g, uint8_t b) { return Entry(r, g, b) & 255; }

private:
    static uint32_t Distance(uint32_t entry, uint8_t r, uint8_t g, uint8_t b) {
        const int32_t dr = int32_t(entry >> 8 & 255) - r, dg = int32_t(entry >> 16 & 255) - g,
                      db = int32_t(entry >> 24) - b;
        return uint32_t(dr * dr + dg * dg + db * db);
    }
    // Appends the cell's candidate list (its length, then the entries in index order) and returns where it starts.
    uint32_t ListCandidates(uint32_t cell);

    uint32_t entries[256] = {};  // packed as Entry returns them
    uint32_t count = 0;
    std::unique_ptr<uint32_t[]> cellStart;  // per cell: the list's position in the pool, 0 while not listed
    std::vector<uint32_t> pool;
};
