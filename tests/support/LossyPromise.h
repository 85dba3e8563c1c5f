// The check of what lossy LZW coding promises, on the indices a reader decoded: shared by the codec's tests, the
// export's tests and the lossy coder's fuzz entry. Depends on the imaging library only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwLossy.h"

// The first promise of lossy coding that `decoded` breaks, or "" when it keeps them all: every pixel within the
// level's tolerance of its source; locked entries' pixels unchanged and no other pixel turned into one; every
// stand-in within the tolerance of its source colour plus what it inherits: the right share (as handed on) of its
// left neighbour's error and the down share of the error of the pixel above it, "above" meaning in the row coded
// before (interlaced: the previous row of the pass, or the last row of the pass before).
inline std::string BrokenLossyPromise(const std::vector<uint8_t>& source, const std::vector<uint8_t>& decoded,
                                      uint32_t width, uint32_t height, const CvColorTable& table,
                                      const CvLossyOptions& options, bool interlaced) {
    const int64_t limit = CvLossyLimit(options.level);
    auto at = [&](uint32_t x, uint32_t y) { return "pixel " + std::to_string(x) + "," + std::to_string(y); };
    CvRowPass passes[4];
    const uint32_t passCount = CvRowPasses(height, interlaced, passes);
    std::vector<int32_t> fromAbove(3 * size_t(width), 0), toBelow(3 * size_t(width), 0);
    for (uint32_t p = 0; p < passCount; ++p) {
        for (uint32_t r = 0; r < passes[p].rowCount; ++r, fromAbove.swap(toBelow)) {
            const uint32_t y = passes[p].firstRow + r * passes[p].rowStep;
            int32_t fromLeft[3] = {0, 0, 0};
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t s = source[size_t(y) * width + x], d = decoded[size_t(y) * width + x];
                if (s != d && (options.locked[s] || options.locked[d])) return at(x, y) + ": a locked entry moved";
                if (CvColorTable::Distance(table.Entry(s), table.Entry(d)) > limit)
                    return at(x, y) + ": beyond the tolerance of its colour";
                int64_t target = 0;
                for (int c = 0; c < 3; ++c) {
                    const int32_t error = table.Entry(s)[c] + fromLeft[c] + fromAbove[3 * x + c] - table.Entry(d)[c];
                    target += int64_t(error) * error;
                    fromLeft[c] = error * CvLossyShare(kCvLossyRightShare, options.handOn) / 16;
                    toBelow[3 * x + c] = error * CvLossyShare(kCvLossyDownShare, options.handOn) / 16;
                }
                if (s != d && target > limit) return at(x, y) + ": beyond the tolerance of its inherited target";
            }
        }
    }
    return "";
}
