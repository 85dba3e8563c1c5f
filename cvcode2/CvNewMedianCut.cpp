// Median-cut palette generation over the list of occupied cells.
// Every box is a non-empty contiguous stretch of the one cell list; cutting reorders only the cut box's stretch.
#include "cvcode2/CvNewMedianCut.h"

#include <cmath>
#include <memory>
#include <new>
#include <utility>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvLog.h"

namespace {
const uint16_t kAxisMask[3] = {0x7C00, 0x03E0, 0x001F};
const uint32_t kAxisShift[3] = {10, 5, 0};

// Sift-down in a 1-based heap of n cells: the right child is taken only when strictly greater, and the
// element moves only when strictly less, which fixes where equal keys end up.
void SiftDown(uint16_t* cells, uint32_t i, uint32_t n, uint16_t mask) {
    auto key = [&](uint32_t position) { return cells[position - 1] & mask; };
    for (;;) {
        uint32_t child = 2 * i;
        if (child > n) return;
        if (child + 1 <= n && key(child + 1) > key(child)) ++child;
        if (key(i) >= key(child)) return;
        std::swap(cells[i - 1], cells[child - 1]);
        i = child;
    }
}
}  // namespace

uint32_t CvNewMedianCut::Box::Range(uint32_t channel) const {
    switch (channel) {
        case 0: return uint32_t(maxR - minR);
        case 1: return uint32_t(maxG - minG);
        default: return uint32_t(maxB - minB);
    }
}

CvNewMedianCut::CvNewMedianCut(CvProgressIndicator* indicator) : CvProgressTask(indicator) {}

void CvNewMedianCut::SortCells(uint16_t* cells, uint32_t count, uint32_t axis) {
    uint16_t mask = kAxisMask[axis];
    for (uint32_t i = count / 2; i >= 1; --i) SiftDown(cells, i, count, mask);
    for (uint32_t n = count; n > 1; --n) {
        std::swap(cells[0], cells[n - 1]);
        SiftDown(cells, 1, n - 1, mask);
    }
}

CvNewMedianCut::Box CvNewMedianCut::MakeBox(uint16_t* cells, uint32_t cellCount, bool hasParent,
                                            uint32_t parentAxis) const {
    CV_ASSERT(histogram != nullptr && cells != nullptr && cellCount > 0);
    uint32_t low[3] = {31, 31, 31}, high[3] = {0, 0, 0};
    uint64_t total = 0;
    for (uint32_t i = 0; i < cellCount; ++i) {
        for (uint32_t channel = 0; channel < 3; ++channel) {
            uint32_t level = cells[i] >> kAxisShift[channel] & 31;
            if (level < low[channel]) low[channel] = level;
            if (level > high[channel]) high[channel] = level;
        }
        total += histogram[cells[i]];
    }
    Box box{histogram,
            cells,
            cellCount,
            ExpandLevel(low[0]),
            ExpandLevel(low[1]),
            ExpandLevel(low[2]),
            ExpandLevel(high[0]),
            ExpandLevel(high[1]),
            ExpandLevel(high[2]),
            0,
            total,
            uint8_t(hasParent),
            parentAxis};
    // Ties go to the later channel: green over red, blue over either.
    uint32_t dR = box.Range(0), dG = box.Range(1), dB = box.Range(2);
    if (dR > dG)
        box.axis = dR > dB ? 0 : 2;
    else
        box.axis = dG > dB ? 1 : 2;
    return box;
}

void CvNewMedianCut::MakePalette(CvColorTable& palette, const uint32_t* histogram_, uint32_t maxColors_) {
    CV_ASSERT(histogram_ != nullptr && maxColors_ >= 1 && maxColors_ <= kMaxBoxes);
    if (!histogram_) CV_THROW(kCvErrBadArgument);
    histogram = histogram_;
    maxColors = uint16_t(maxColors_ < 1 ? 1 : maxColors_ > kMaxBoxes ? kMaxBoxes : maxColors_);
    Start(0, maxColors, "Quantizing");
    try {
        uint32_t cellCount = CountColors(histogram);
        if (cellCount <= maxColors) {
            palette = HistogramColors(histogram);
        } else {
            std::unique_ptr<uint16_t[]> cells(CvAllocated(new (std::nothrow) uint16_t[cellCount]));
            uint32_t n = 0;
            for (uint32_t c = 0; c < kCellCount; ++c)
                if (histogram[c]) cells[n++] = uint16_t(c);
            boxes[0] = MakeBox(cells.get(), cellCount, false, 0);
            boxCount = 1;
            CutBoxes();
            palette.SetCount(boxCount);
            for (uint32_t i = 0; i < boxCount; ++i) {
                uint8_t rgb[3];
                BoxColor(boxes[i], rgb);
                palette.SetEntry(i, rgb[0], rgb[1], rgb[2]);
            }
            boxCount = 0;
        }
        CV_PROGRESS(*this, maxColors);
    } catch (const CvErrorCode& error) {
        boxCount = 0;  // the boxes pointed into the cell list, which is gone
        ReportError(error);
        throw;
    }
    Finish();
}

void CvNewMedianCut::CutBoxes() {
    while (boxCount < maxColors) {
        uint32_t chosen = ChooseBox();
        CV_ASSERT(chosen < boxCount);
        if (chosen >= boxCount) return;
        Cut(chosen);
        CV_PROGRESS(*this, boxCount);
    }
}

uint32_t CvNewMedianCut::ChooseBox() const {
    uint32_t chosen = kMaxBoxes, chosenRange = 0;
    for (uint32_t i = 0; i < boxCount; ++i) {
        const Box& box = boxes[i];
        if (box.cellCount < 2) continue;
        uint32_t range = box.Range(box.axis);
        if (chosen == kMaxBoxes || range > chosenRange) {
            chosen = i;
            chosenRange = range;
        }
    }
    return chosen;
}

void CvNewMedianCut::Cut(uint32_t index) {
    const Box box = boxes[index];
    // A half cut along the same axis as its parent is already in order.
    if (!(box.hasParent && box.parentAxis == box.axis)) SortCells(box.cells, box.cellCount, box.axis);
    uint64_t half = box.total >> 1, sum = 0;
    uint32_t k = 0;
    while (k < box.cellCount) {
        sum += histogram[box.cells[k++]];
        if (sum >= half) break;
    }
    if (k == box.cellCount) --k;
    boxes[index] = MakeBox(box.cells, k, true, box.axis);
    boxes[boxCount] = MakeBox(box.cells + k, box.cellCount - k, true, box.axis);
    ++boxCount;
}

void CvNewMedianCut::BoxColor(const Box& box, uint8_t rgb[3]) const {
    double sums[3] = {0, 0, 0}, weight = 0;
    for (uint32_t i = 0; i < box.cellCount; ++i) {
        double count = histogram[box.cells[i]];
        for (uint32_t channel = 0; channel < 3; ++channel)
            sums[channel] += double(box.cells[i] >> kAxisShift[channel] & 31) * count;
        weight += count;
    }
    for (uint32_t channel = 0; channel < 3; ++channel) {
        double level = std::floor(sums[channel] / weight + 0.5);
        rgb[channel] = ExpandLevel(level < 0 ? 0 : level > 31 ? 31 : uint32_t(level));
    }
}
