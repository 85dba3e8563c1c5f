// Variance-minimising box splitting over weighted colours, in double precision.
// Splits follow the channel of greatest spread, between the two bins that leave the least summed squared error.
#include "cvcode2/CvVarianceCut.h"

#include <algorithm>

namespace {
// Cut positions along an axis are a quarter of an 8-bit step apart: finer than any two cell means that matter.
constexpr uint32_t kBins = 1024;

float Channel(const CvWeightedColor& c, uint32_t axis) {
    return axis == 0 ? c.r : axis == 1 ? c.g : c.b;
}

uint32_t BinOf(const CvWeightedColor& c, uint32_t axis) {
    const float v = Channel(c, axis) * 4;
    return v <= 0 ? 0 : v >= kBins - 1 ? kBins - 1 : uint32_t(v);
}

// Weighted squared error of a part from its sums: Σw·|c|² − |Σw·c|² / Σw.
double PartError(double weight, const double sum[3], double squares) {
    return squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / weight;
}

// A box's colours gathered per bin along one axis: weight, three sums and the sum of squares.
struct Bin {
    double weight, sum[3], squares;
};
}  // namespace

CvVarianceCut::CvVarianceCut(CvProgressIndicator* indicator) : CvProgressTask(indicator) {}

double CvVarianceCut::Box::Error() const {
    return PartError(weight, sum, squares[0] + squares[1] + squares[2]);
}

CvVarianceCut::Box CvVarianceCut::MakeBox(uint32_t begin, uint32_t end) const {
    Box box{begin, end, 0, {0, 0, 0}, {0, 0, 0}};
    for (uint32_t i = begin; i < end; ++i) {
        const CvWeightedColor& c = (*colors)[i];
        box.weight += c.count;
        for (uint32_t axis = 0; axis < 3; ++axis) {
            const double v = Channel(c, axis);
            box.sum[axis] += c.count * v;
            box.squares[axis] += c.count * v * v;
        }
    }
    return box;
}

std::vector<CvWeightedColor> CvVarianceCut::Cut(std::vector<CvWeightedColor>& list, uint32_t count) {
    colors = &list;
    boxes.clear();
    Start(0, count, "Quantizing");
    try {
        if (!list.empty()) boxes.push_back(MakeBox(0, uint32_t(list.size())));
        for (size_t next; boxes.size() < count && (next = Widest()) < boxes.size();) {
            Split(next);
            CV_PROGRESS(*this, uint32_t(boxes.size()));
        }
    } catch (const CvErrorCode& error) {
        ReportError(error);
        throw;
    }
    std::vector<CvWeightedColor> means;
    for (const Box& box : boxes)
        means.push_back({float(box.sum[0] / box.weight), float(box.sum[1] / box.weight), float(box.sum[2] / box.weight),
                         uint32_t(box.weight)});
    Finish();
    return means;
}

size_t CvVarianceCut::Widest() const {
    size_t best = boxes.size();
    double bestError = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const double error = boxes[i].Error();
        if (boxes[i].end - boxes[i].begin >= 2 && (best == boxes.size() || error > bestError)) {
            best = i;
            bestError = error;
        }
    }
    return best;
}

// Along the channel of greatest weighted variance, the cut between two bins that leaves the least total error;
// the colours of the lower bins move to the front of the box's stretch.
void CvVarianceCut::Split(size_t index) {
    const Box box = boxes[index];
    auto spread = [&](uint32_t a) { return box.squares[a] - box.sum[a] * box.sum[a] / box.weight; };
    uint32_t axis = 0;
    for (uint32_t a = 1; a < 3; ++a)
        if (spread(a) > spread(axis)) axis = a;
    std::vector<CvWeightedColor>& list = *colors;
    std::vector<Bin> bins(kBins, Bin{0, {0, 0, 0}, 0});
    for (uint32_t i = box.begin; i < box.end; ++i) {
        const CvWeightedColor& c = list[i];
        Bin& bin = bins[BinOf(c, axis)];
        bin.weight += c.count;
        for (uint32_t a = 0; a < 3; ++a) {
            const double v = Channel(c, a);
            bin.sum[a] += c.count * v;
            bin.squares += c.count * v * v;
        }
    }
    const double totalSquares = box.squares[0] + box.squares[1] + box.squares[2];
    Bin lower{0, {0, 0, 0}, 0};
    double bestError = 0;
    uint32_t bestBin = kBins;  // the last bin of the lower part
    for (uint32_t b = 0; b + 1 < kBins; ++b) {
        if (bins[b].weight == 0) continue;
        lower.weight += bins[b].weight;
        lower.squares += bins[b].squares;
        double rest[3];
        for (uint32_t a = 0; a < 3; ++a) {
            lower.sum[a] += bins[b].sum[a];
            rest[a] = box.sum[a] - lower.sum[a];
        }
        const double restWeight = box.weight - lower.weight;
        if (restWeight <= 0) break;
        const double error = PartError(lower.weight, lower.sum, lower.squares) +
                             PartError(restWeight, rest, totalSquares - lower.squares);
        if (bestBin == kBins || error < bestError) {
            bestError = error;
            bestBin = b;
        }
    }
    uint32_t bestCut = box.begin;
    if (bestBin < kBins) {
        const auto lowerEnd =
            std::stable_partition(list.begin() + box.begin, list.begin() + box.end,
                                  [&](const CvWeightedColor& c) { return BinOf(c, axis) <= bestBin; });
        bestCut = uint32_t(lowerEnd - list.begin());
    }
    // All colours in one bin (they differ by less than a bin): split the stretch in the middle instead.
    if (bestCut == box.begin || bestCut == box.end) bestCut = box.begin + (box.end - box.begin) / 2;
    boxes[index] = MakeBox(box.begin, bestCut);
    boxes.push_back(MakeBox(bestCut, box.end));
}
