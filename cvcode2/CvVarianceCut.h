// The fine palette's first guess: boxes of weighted colours, always splitting the box with the largest squared
// error where the two halves' summed squared error is least. Every box is a non-empty stretch of the colour list.
#pragma once

#include <cstdint>
#include <vector>

#include "cvcode2/CvFineHist.h"
#include "cvcode2/CvProgressTask.h"

class CvVarianceCut : public CvProgressTask {
public:
    explicit CvVarianceCut(CvProgressIndicator* indicator);

    // At most `count` (1..256) box means, each weighted by its box's pixel count; `colors` is reordered.
    std::vector<CvWeightedColor> Cut(std::vector<CvWeightedColor>& colors, uint32_t count);

private:
    struct Box {
        uint32_t begin, end;  // the stretch [begin, end) of the colour list
        double weight, sum[3], squares[3];
        double Error() const;
    };

    Box MakeBox(uint32_t begin, uint32_t end) const;
    // The box to split next, or boxes.size() when no box holds two colours or more.
    size_t Widest() const;
    void Split(size_t index);

    std::vector<CvWeightedColor>* colors = nullptr;
    std::vector<Box> boxes;
};
