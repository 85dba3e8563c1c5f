// Palette reduction by merging least-used entries into their nearest neighbours.
// Buckets are fixed from the colours at construction; every chain lists its entries in descending entry order.
#include "cvcode2/CvUnique.h"

#include <new>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvLog.h"

CvUnique::CvUnique(const uint32_t* histogram, const uint8_t* inverseMap, const CvColorTable& palette, uint16_t target_,
                   bool keepExact_, CvProgressIndicator* indicator)
    : CvProgressTask(indicator), target(target_), entryCount(palette.GetCount()), keepExact(keepExact_) {
    CV_ASSERT(entryCount > 0 && histogram != nullptr && inverseMap != nullptr);
    entries.reset(CvAllocated(new (std::nothrow) Entry[entryCount ? entryCount : 1]));
    for (uint32_t i = 0; i < entryCount; ++i) {
        Entry& e = entries[i];
        e = Entry{1, 0, 0, 0, 0, 0, nullptr};
        palette.GetEntry(i, e.r, e.g, e.b);
    }
    if (histogram && inverseMap) {
        for (uint32_t c = 0; c < kCellCount; ++c) {
            CV_ASSERT(inverseMap[c] < entryCount);
            if (inverseMap[c] < entryCount) entries[inverseMap[c]].usage += histogram[c];
        }
    }
    AssignBuckets();
}

void CvUnique::AssignBuckets() {
    for (uint32_t i = 0; i < entryCount; ++i) {
        Entry& e = entries[i];
        if (e.usage == 0) e.active = 0;
        if (!e.active) continue;
        ++activeCount;
        e.bucket = uint32_t(e.r / 86) * 9 + uint32_t(e.g / 86) * 3 + uint32_t(e.b / 86);
        e.next = bucketHeads[e.bucket];
        bucketHeads[e.bucket] = &e;
    }
}

void CvUnique::Reduce(CvColorTable& result) {
    startActive = activeCount;
    Start(0, startActive > target ? startActive - target : 0, "Reducing");
    try {
        ReduceSteps();
    } catch (const CvErrorCode& error) {
        ReportError(error);
        throw;
    }
    Finish();
    result.SetCount(activeCount);
    uint32_t out = 0;
    for (uint32_t i = 0; i < entryCount; ++i)
        if (entries[i].active) result.SetEntry(out++, entries[i].r, entries[i].g, entries[i].b);
}

void CvUnique::ReduceSteps() {
    uint32_t fullest = 0;
    // Bucket phase: sources come from the most crowded region until every region holds one entry.
    while (activeCount > target) {
        uint32_t bucket = FullestBucket(fullest);
        if (fullest <= 1) break;
        if (!MergeStep(LeastUsedInBucket(bucket))) return;
    }
    // Global phase: the least-used entry of the whole palette.
    while (activeCount > target)
        if (!MergeStep(LeastUsed())) return;
}

uint32_t CvUnique::ActiveInBucket(uint32_t bucket) const {
    uint32_t count = 0;
    for (const Entry* e = bucketHeads[bucket]; e; e = e->next) count += e->active;
    return count;
}

uint32_t CvUnique::FullestBucket(uint32_t& activeInFullest) const {
    uint32_t best = 0;
    activeInFullest = ActiveInBucket(0);
    for (uint32_t bucket = 1; bucket < kBucketCount; ++bucket) {
        uint32_t count = ActiveInBucket(bucket);
        if (count > activeInFullest) {
            activeInFullest = count;
            best = bucket;
        }
    }
    return best;
}

CvUnique::Entry* CvUnique::LeastUsedInBucket(uint32_t bucket) const {
    Entry* best = nullptr;
    for (Entry* e = bucketHeads[bucket]; e; e = e->next)
        if (e->active && (!best || e->usage < best->usage)) best = e;
    return best;
}

CvUnique::Entry* CvUnique::LeastUsed() const {
    Entry* best = nullptr;
    for (uint32_t i = 0; i < entryCount; ++i)
        if (entries[i].active && (!best || entries[i].usage < best->usage)) best = &entries[i];
    return best;
}

CvUnique::Entry* CvUnique::NearestOther(const Entry* source) const {
    const unsigned char from[3] = {source->r, source->g, source->b};
    Entry* best = nullptr;
    uint32_t bestDistance = 0;
    for (uint32_t i = 0; i < entryCount; ++i) {
        Entry& e = entries[i];
        if (!e.active || &e == source) continue;
        const unsigned char to[3] = {e.r, e.g, e.b};
        uint32_t distance = CvColorTable::Distance(from, to);
        if (!best || distance < bestDistance) {
            best = &e;
            bestDistance = distance;
        }
    }
    return best;
}

bool CvUnique::MergeStep(Entry* source) {
    Entry* destination = source ? NearestOther(source) : nullptr;
    CV_ASSERT(destination != nullptr);
    if (!destination) return false;
    if (!keepExact) {
        double su = double(source->usage), du = double(destination->usage), total = su + du;
        destination->r = uint8_t((source->r * su + destination->r * du) / total);
        destination->g = uint8_t((source->g * su + destination->g * du) / total);
        destination->b = uint8_t((source->b * su + destination->b * du) / total);
    }
    destination->usage += source->usage;
    source->active = 0;
    --activeCount;
    CV_PROGRESS(*this, startActive - activeCount);
    return true;
}
