// Lloyd passes with the squared RGB distance, in float for the search and double for the sums.
// The nearest centre of a colour is the first of the smallest distance, so passes are deterministic.
#include "cvcode2/CvKMeansRefine.h"

#include <cmath>

CvKMeansRefine::CvKMeansRefine(CvProgressIndicator* indicator) : CvProgressTask(indicator) {}

void CvKMeansRefine::Refine(const std::vector<CvWeightedColor>& colors, std::vector<CvWeightedColor>& centres,
                            uint32_t passes) {
    Start(0, passes, "Refining");
    try {
        for (uint32_t pass = 0; pass < passes; ++pass) {
            Pass(colors, centres);
            CV_PROGRESS(*this, pass + 1);
        }
    } catch (const CvErrorCode& error) {
        ReportError(error);
        throw;
    }
    Finish();
}

void CvKMeansRefine::Pass(const std::vector<CvWeightedColor>& colors, std::vector<CvWeightedColor>& centres) {
    const size_t k = centres.size();
    // Channels apart, so that the distance loop runs over plain arrays.
    float r[256], g[256], b[256], distance[256];
    for (size_t j = 0; j < k; ++j) r[j] = centres[j].r, g[j] = centres[j].g, b[j] = centres[j].b;
    std::vector<double> sums(4 * k, 0.0);
    for (const CvWeightedColor& c : colors) {
        for (size_t j = 0; j < k; ++j) {
            const float dr = c.r - r[j], dg = c.g - g[j], db = c.b - b[j];
            distance[j] = dr * dr + dg * dg + db * db;
        }
        size_t nearest = 0;
        for (size_t j = 1; j < k; ++j)
            if (distance[j] < distance[nearest]) nearest = j;
        double* sum = &sums[4 * nearest];
        sum[0] += c.count;
        sum[1] += double(c.count) * c.r;
        sum[2] += double(c.count) * c.g;
        sum[3] += double(c.count) * c.b;
    }
    for (size_t j = 0; j < k; ++j) {
        const double* sum = &sums[4 * j];
        if (sum[0] > 0)
            centres[j] = {float(sum[1] / sum[0]), float(sum[2] / sum[0]), float(sum[3] / sum[0]), uint32_t(sum[0])};
    }
}

CvColorTable CvKMeansRefine::ToTable(const std::vector<CvWeightedColor>& centres) {
    CvColorTable table(uint32_t(centres.size()));
    auto level = [](float v) { return uint8_t(v <= 0 ? 0 : v >= 255 ? 255 : std::lround(v)); };
    for (uint32_t i = 0; i < table.GetCount(); ++i)
        table.SetEntry(i, level(centres[i].r), level(centres[i].g), level(centres[i].b));
    return table;
}
