// Palette reduction by merging: the least-used entries are merged into their nearest neighbours, first inside
// the most crowded of 27 colour regions, then over the whole palette, until only the target count is active.
#pragma once

#include <cstdint>
#include <memory>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvProgressTask.h"

class CvUnique : public CvProgressTask {
public:
    static constexpr uint32_t kBucketCount = 27;

    // Weighs the palette's entries by the histogram through the inverse map; unused entries drop out at once.
    CvUnique(const uint32_t* histogram, const uint8_t* inverseMap, const CvColorTable& palette, uint16_t target,
             bool keepExact, CvProgressIndicator* indicator = nullptr);

    // Merges until at most `target` entries are active and returns their colours in entry order.
    void Reduce(CvColorTable& result);

private:
    struct Entry {
        uint8_t active;
        uint8_t r, g, b;
        uint64_t usage;  // pixels represented; 64 bits so that no image size can wrap it
        uint32_t bucket;
        Entry* next;
    };

    void AssignBuckets();
    void ReduceSteps();
    uint32_t ActiveInBucket(uint32_t bucket) const;
    // The bucket with the most active entries (lowest number on ties) and that count.
    uint32_t FullestBucket(uint32_t& activeCount) const;
    Entry* LeastUsedInBucket(uint32_t bucket) const;
    Entry* LeastUsed() const;
    Entry* NearestOther(const Entry* source) const;
    // False when no merge partner exists (an inconsistent input; the reduction stops there).
    bool MergeStep(Entry* source);

    uint16_t target;
    uint32_t entryCount;
    std::unique_ptr<Entry[]> entries;
    Entry* bucketHeads[kBucketCount] = {};
    uint8_t keepExact;
    uint32_t startActive = 0;
    uint32_t activeCount = 0;
};
