// Palette storage and search.
// Every path that changes the count reallocates to exactly 3 x count bytes, so entries[] never reads past the end.
#include "cvcode2/CvColorTable.h"

#include <cstring>
#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

namespace {
uint8_t* NewEntries(uint32_t n) {
    if (n == 0) return nullptr;
    const uint64_t bytes = uint64_t(n) * 3;
    if (bytes > UINT32_MAX || bytes > SIZE_MAX) CV_THROW(kCvErrNoMemory);
    uint8_t* p = CvAllocated(new (std::nothrow) uint8_t[size_t(bytes)]());
    return p;
}
}  // namespace

CvColorTable::CvColorTable(uint32_t n) : entries(NewEntries(n)), count(n) {}

CvColorTable::CvColorTable(const CvColorTable& from) : entries(NewEntries(from.count)), count(from.count) {
    if (count) std::memcpy(entries, from.entries, 3 * size_t(count));
}

CvColorTable& CvColorTable::Assign(const CvColorTable& from) {
    if (&from == this) return *this;
    uint8_t* copy = NewEntries(from.count);
    if (from.count) std::memcpy(copy, from.entries, 3 * size_t(from.count));
    delete[] entries;
    entries = copy;
    count = from.count;
    return *this;
}

void CvColorTable::Clear() {
    delete[] entries;
    entries = nullptr;
    count = 0;
}

void CvColorTable::SetCount(uint32_t n) {
    if (n == count) return;
    uint8_t* resized = NewEntries(n);
    if (n && count) std::memcpy(resized, entries, 3 * size_t(n < count ? n : count));
    delete[] entries;
    entries = resized;
    count = n;
}

void CvColorTable::GetEntry(uint32_t index, uint8_t& r, uint8_t& g, uint8_t& b) const {
    CV_ASSERT(index < count);
    if (index >= count) {
        r = g = b = 0;
        return;
    }
    r = entries[3 * size_t(index)];
    g = entries[3 * size_t(index) + 1];
    b = entries[3 * size_t(index) + 2];
}

void CvColorTable::SetEntry(uint32_t index, uint8_t r, uint8_t g, uint8_t b) {
    CV_ASSERT(index < count);
    if (index >= count) return;
    entries[3 * size_t(index)] = r;
    entries[3 * size_t(index) + 1] = g;
    entries[3 * size_t(index) + 2] = b;
}

bool CvColorTable::operator==(const CvColorTable& other) const {
    return count == other.count && (count == 0 || std::memcmp(entries, other.entries, 3 * size_t(count)) == 0);
}

uint32_t CvColorTable::FindNearest(uint32_t packedColor, int32_t exclude) const {
    if (count == 0) CV_THROW(kCvErrBadArgument);
    // A one-entry table has no entry other than entry 0: answered with 0 rather than reading past the end.
    CV_ASSERT(count >= 2 || exclude != 0);
    if (count < 2 && exclude == 0) return 0;
    const uint8_t color[3] = {uint8_t(packedColor), uint8_t(packedColor >> 8), uint8_t(packedColor >> 16)};
    uint32_t best = exclude == 0 ? 1 : 0;
    uint32_t bestDistance = Distance(color, Entry(best));
    for (uint32_t i = best + 1; i < count && bestDistance != 0; ++i) {
        if (int64_t(i) == exclude) continue;
        const uint32_t d = Distance(color, Entry(i));
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

uint32_t CvColorTable::FindNearestOther(uint32_t index) const {
    if (count == 0) CV_THROW(kCvErrBadArgument);
    CV_ASSERT(index < count && count >= 2);
    if (index >= count) return 0;
    const uint8_t* e = Entry(index);
    return FindNearest(Pack(e[0], e[1], e[2]), int32_t(index));
}

uint32_t CvColorTable::Distance(const uint8_t* a, const uint8_t* b) {
    const int32_t dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return uint32_t(dr * dr + dg * dg + db * db);
}

uint32_t CvColorTable::BitsForCount(uint32_t n) {
    if (n > 128) return 8;
    if (n > 64) return 7;
    if (n > 32) return 6;
    if (n > 16) return 5;
    if (n > 8) return 4;
    if (n > 4) return 3;
    if (n > 2) return 2;
    return 1;
}
