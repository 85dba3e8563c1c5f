// Exhaustive inverse colour map over the 5-bit cells, with every cell's nearest entry found exactly.
// Lower index wins ties because a later entry replaces the best only when strictly nearer.
#include "cvcode2/CvMakeInvColorMap.h"

#include <memory>
#include <new>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

namespace {
constexpr uint32_t kLevels = 32;

// Squared distance of every 5-bit level's colour to every entry, per channel. One row of the search covers
// the 32 blue levels of a red-green pair at once, so the inner loop runs over 32 independent lanes and
// vectorises; the lanes' strict comparison keeps the lowest index on ties.
struct Workspace {
    uint32_t red[256][kLevels];
    uint32_t green[256][kLevels];
    uint32_t blue[256][kLevels];
};

void FillDistances(const CvColorTable& palette, uint32_t count, Workspace& w) {
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = palette.Entry(i);
        for (uint32_t level = 0; level < kLevels; ++level) {
            int32_t v = ExpandLevel(level);
            w.red[i][level] = uint32_t((v - e[0]) * (v - e[0]));
            w.green[i][level] = uint32_t((v - e[1]) * (v - e[1]));
            w.blue[i][level] = uint32_t((v - e[2]) * (v - e[2]));
        }
    }
}

// Nearest entries for the 32 cells r5, g5, 0..31, written to row[0..31].
void SearchRow(const Workspace& w, uint32_t count, uint32_t r5, uint32_t g5, uint8_t* row) {
    uint32_t best[kLevels], index[kLevels];
    for (uint32_t b = 0; b < kLevels; ++b) {
        best[b] = UINT32_MAX;
        index[b] = 0;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t base = w.red[i][r5] + w.green[i][g5];
        const uint32_t* blue = w.blue[i];
        for (uint32_t b = 0; b < kLevels; ++b) {
            uint32_t d = base + blue[b];
            bool nearer = d < best[b];
            best[b] = nearer ? d : best[b];
            index[b] = nearer ? i : index[b];
        }
    }
    for (uint32_t b = 0; b < kLevels; ++b) row[b] = uint8_t(index[b]);
}
}  // namespace

void MakeInvColorMap(const CvColorTable* palette, uint8_t* map) {
    CV_ASSERT(palette != nullptr && map != nullptr && palette->GetCount() > 0 && palette->GetCount() <= 256);
    if (!palette || !map || palette->GetCount() == 0) CV_THROW(kCvErrBadArgument);
    uint32_t count = palette->GetCount() > 256 ? 256 : palette->GetCount();
    std::unique_ptr<Workspace> w(CvAllocated(new (std::nothrow) Workspace));
    FillDistances(*palette, count, *w);
    for (uint32_t r5 = 0; r5 < kLevels; ++r5)
        for (uint32_t g5 = 0; g5 < kLevels; ++g5) SearchRow(*w, count, r5, g5, map + (r5 << 10 | g5 << 5));
}
