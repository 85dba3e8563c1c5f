// The palette type: count entries of three bytes R, G, B, with nearest-colour search and squared RGB distance.
// The entry array holds exactly 3 x count bytes and is null when the count is 0.
#pragma once

#include <cstddef>
#include <cstdint>

class CvColorTable {
public:
    CvColorTable() = default;
    explicit CvColorTable(uint32_t count);  // all entries black
    CvColorTable(const CvColorTable& from);
    CvColorTable& operator=(const CvColorTable& from) { return Assign(from); }
    CvColorTable& Assign(const CvColorTable& from);
    ~CvColorTable() { Clear(); }

    void Clear();
    uint32_t GetCount() const { return count; }
    // Keeps the first min(count, n) entries; later entries are black until set.
    void SetCount(uint32_t n);
    // Indexes at or past the count are a caller error: checked, and then they read black and write nothing.
    void GetEntry(uint32_t index, uint8_t& r, uint8_t& g, uint8_t& b) const;
    void SetEntry(uint32_t index, uint8_t r, uint8_t g, uint8_t b);
    const uint8_t* Entries() const { return entries; }
    const uint8_t* Entry(uint32_t index) const { return entries + 3 * size_t(index); }

    bool operator==(const CvColorTable& other) const;
    bool operator!=(const CvColorTable& other) const { return !(*this == other); }

    // Index of the entry nearest to the packed colour (R bits 0-7, G 8-15, B 16-23), never `exclude` (negative
    // excludes nothing); ties go to the lower index. Raises 27 without entries.
    uint32_t FindNearest(uint32_t packedColor, int32_t exclude) const;
    // The nearest entry other than `index`. Raises 27 without entries.
    uint32_t FindNearestOther(uint32_t index) const;

    static uint32_t Distance(const uint8_t* a, const uint8_t* b);
    static uint32_t BitsForCount(uint32_t n);
    static uint32_t Pack(uint8_t r, uint8_t g, uint8_t b) { return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16; }

private:
    uint8_t* entries = nullptr;
    uint32_t count = 0;
};
