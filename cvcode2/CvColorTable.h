// The palette type: up to any number of R, G, B byte triples (indexed images use at most 256).
// Distances are squared Euclidean distances on 8-bit RGB; ties go to the lower index.
#pragma once

#include <cstddef>
#include <cstdint>

class CvColorTable {
public:
    CvColorTable() = default;
    explicit CvColorTable(uint32_t count);
    CvColorTable(const CvColorTable& other);
    CvColorTable& operator=(const CvColorTable& other) { return Assign(other); }
    ~CvColorTable() { Clear(); }

    CvColorTable& Assign(const CvColorTable& other);
    void Clear();
    uint32_t GetCount() const { return count; }
    // New storage of n entries keeping the first min(count, n); later entries are unspecified until set.
    void SetCount(uint32_t n);
    void GetEntry(uint32_t index, uint8_t& r, uint8_t& g, uint8_t& b) const;
    void SetEntry(uint32_t index, uint8_t r, uint8_t g, uint8_t b);
    const uint8_t* Entry(uint32_t index) const { return entries + 3 * size_t(index); }
    const uint8_t* Entries() const { return entries; }

    bool operator==(const CvColorTable& other) const;
    bool operator!=(const CvColorTable& other) const { return !(*this == other); }

    // Nearest entry to a packed colour (R bits 0-7, G 8-15, B 16-23), never `exclude` (negative: none).
    uint32_t FindNearest(uint32_t packedColor, int32_t exclude) const;
    uint32_t FindNearestOther(uint32_t index) const;

    static uint32_t Distance(const unsigned char* a, const unsigned char* b);
    static uint32_t BitsForCount(uint32_t n);

private:
    uint8_t* entries = nullptr;
    uint32_t count = 0;
};

inline uint32_t PackColor(uint8_t r, uint8_t g, uint8_t b) { return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16; }
