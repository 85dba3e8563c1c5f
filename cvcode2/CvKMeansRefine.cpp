// Lloyd passes with the squared RGB distance, in float for the search and double for the sums.
// The nearest centre of a colour is the first of the smallest distance, so passes are deterministic.
#include "cvcode2/CvKMeansRefine.h"

#include <cmath>

CvKMeansRefine::CvKMeansRefine(CvProgressIndicator* indicator) : CvProgressTask(indicator) {}

void CvKMeansRefine::Refine(const std::vector<CvWeightedColor>& colors, std::vector<CvWeightedColor>& centres,
                            uint32_t passes) {
    Start(0, passes, "Refining");
    assignment.assign(colors.size(), 0);
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

// A colour no farther from its centre than half the distance from that centre to any other cannot be nearer to
// another one, so only the colours outside that radius are searched again.
void CvKMeansRefine::Pass(const std::vector<CvWeightedColor>& colors, std::vector<CvWeightedColor>& centres) {
    const size_t k = centres.size();
    // Channels apart, so that the distance loop runs over plain arrays.
    float r[256], g[256], b[256], distance[256], radius[256];
    for (size_t j = 0; j < k; ++j) r[j] = centres[j].r, g[j] = centres[j].g, b[j] = centres[j].b;
    for (size_t j = 0; j < k; ++j) {
        float least = -1;
        for (size_t i = 0; i < k; ++i) {
            const float dr = r[i] - r[j], dg = g[i] - g[j], db = b[i] - b[j], d = dr * dr + dg * dg + db * db;
            if (i != j && (least < 0 || d < least)) least = d;
        }
        radius[j] = least < 0 ? 0 : least / 4;  // (half the distance)², squared distances throughout
    }
    std::vector<double> sums(4 * k, 0.0);
    for (size_t i = 0; i < colors.size(); ++i) {
        const CvWeightedColor& c = colors[i];
        uint32_t near = assignment[i];
        const float dr = c.r - r[near], dg = c.g - g[near], db = c.b - b[near];
        if (!(dr * dr + dg * dg + db * db < radius[near])) {
            for (size_t j = 0; j < k; ++j) {
                const float er = c.r - r[j], eg = c.g - g[j], eb = c.b - b[j];
                distance[j] = er * er + eg * eg + eb * eb;
            }
            near = 0;
            for (uint32_t j = 1; j < k; ++j)
                if (distance[j] < distance[near]) near = j;
            assignment[i] = uint8_t(near);
        }
        double* sum = &sums[4 * near];
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
