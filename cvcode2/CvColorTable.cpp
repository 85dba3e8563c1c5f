// Colour table storage and nearest-colour search.
// Storage always holds exactly 3 × count bytes; a failed allocation leaves the table unchanged.
#include "cvcode2/CvColorTable.h"

#include <cstring>
#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

namespace {
uint8_t* NewEntries(uint32_t count) {
    if (!count) return nullptr;
    uint8_t* entries = new (std::nothrow) uint8_t[3 * size_t(count)]();
    if (!entries) CV_THROW(kCvErrNoMemory);
    return entries;
}
}  // namespace

CvColorTable::CvColorTable(uint32_t count_) : entries(NewEntries(count_)), count(count_) {}

CvColorTable::CvColorTable(const CvColorTable& other) : entries(NewEntries(other.count)), count(other.count) {
    if (count) std::memcpy(entries, other.entries, 3 * size_t(count));
}

CvColorTable& CvColorTable::Assign(const CvColorTable& other) {
    if (this == &other) return *this;
    uint8_t* fresh = NewEntries(other.count);
    if (other.count) std::memcpy(fresh, other.entries, 3 * size_t(other.count));
    delete[] entries;
    entries = fresh;
    count = other.count;
    return *this;
}

void CvColorTable::Clear() {
    delete[] entries;
    entries = nullptr;
    count = 0;
}

void CvColorTable::SetCount(uint32_t n) {
    if (n == count) return;
    uint8_t* fresh = NewEntries(n);
    uint32_t kept = n < count ? n : count;
    if (kept) std::memcpy(fresh, entries, 3 * size_t(kept));
    delete[] entries;
    entries = fresh;
    count = n;
}

void CvColorTable::GetEntry(uint32_t index, uint8_t& r, uint8_t& g, uint8_t& b) const {
    CV_ASSERT(index < count);
    const uint8_t* e = entries + 3 * size_t(index);
    r = e[0];
    g = e[1];
    b = e[2];
}

void CvColorTable::SetEntry(uint32_t index, uint8_t r, uint8_t g, uint8_t b) {
    CV_ASSERT(index < count);
    uint8_t* e = entries + 3 * size_t(index);
    e[0] = r;
    e[1] = g;
    e[2] = b;
}

bool CvColorTable::operator==(const CvColorTable& other) const {
    return count == other.count && (count == 0 || std::memcmp(entries, other.entries, 3 * size_t(count)) == 0);
}

uint32_t CvColorTable::FindNearest(uint32_t packedColor, int32_t exclude) const {
    if (!count) CV_THROW(kCvErrBadArgument);
    const unsigned char color[3] = {uint8_t(packedColor), uint8_t(packedColor >> 8), uint8_t(packedColor >> 16)};
    uint32_t best = 0, bestDistance = UINT32_MAX;
    for (uint32_t i = 0; i < count; ++i) {
        if (int64_t(i) == exclude) continue;
        uint32_t distance = Distance(color, entries + 3 * size_t(i));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

uint32_t CvColorTable::FindNearestOther(uint32_t index) const {
    if (!count) CV_THROW(kCvErrBadArgument);
    CV_ASSERT(count >= 2 && index < count);
    const uint8_t* e = Entry(index);
    return FindNearest(PackColor(e[0], e[1], e[2]), int32_t(index));
}

uint32_t CvColorTable::Distance(const unsigned char* a, const unsigned char* b) {
    int dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
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
