// Weighted k-means passes over the fine histogram's colours: each colour goes to its nearest centre, then each
// centre moves to the weighted mean of its colours. A pass never raises the total squared error.
#pragma once

#include <cstdint>
#include <vector>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvFineHist.h"
#include "cvcode2/CvProgressTask.h"

class CvKMeansRefine : public CvProgressTask {
public:
    explicit CvKMeansRefine(CvProgressIndicator* indicator);

    // Refines 1..256 centres in `passes` passes; a centre that loses all its colours stays where it was.
    void Refine(const std::vector<CvWeightedColor>& colors, std::vector<CvWeightedColor>& centres, uint32_t passes);

    // The centres rounded to 8-bit colours, in their order.
    static CvColorTable ToTable(const std::vector<CvWeightedColor>& centres);

private:
    void Pass(const std::vector<CvWeightedColor>& colors, std::vector<CvWeightedColor>& centres);

    std::vector<uint8_t> assignment;  // each colour's centre in the last pass (0 before the first)
};
