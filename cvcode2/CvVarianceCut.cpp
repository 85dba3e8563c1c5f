// Variance-minimising box splitting over weighted colours, in double precision.
// Splits follow the channel of greatest spread and leave the sum of the boxes' squared errors as low as one cut can.
#include "cvcode2/CvVarianceCut.h"

#include <algorithm>

namespace {
float Channel(const CvWeightedColor& c, uint32_t axis) {
    return axis == 0 ? c.r : axis == 1 ? c.g : c.b;
}

// A total order (key channel first, then the others), so that equal keys sort the same way everywhere.
struct ByAxis {
    uint32_t axis;
    bool operator()(const CvWeightedColor& a, const CvWeightedColor& b) const {
        for (uint32_t k = 0; k < 3; ++k) {
            const float x = Channel(a, (axis + k) % 3), y = Channel(b, (axis + k) % 3);
            if (x != y) return x < y;
        }
        return a.count < b.count;
    }
};

// Weighted squared error of a part from its sums: Σw·|c|² − |Σw·c|² / Σw.
double PartError(double weight, const double sum[3], double squares) {
    return squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / weight;
}
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
        means.push_back({float(box.sum[0] / box.weight), float(box.sum[1] / box.weight),
                         float(box.sum[2] / box.weight), uint32_t(box.weight)});
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

// Along the channel of greatest weighted variance, the cut after position k that leaves the least total error.
void CvVarianceCut::Split(size_t index) {
    const Box box = boxes[index];
    auto spread = [&](uint32_t a) { return box.squares[a] - box.sum[a] * box.sum[a] / box.weight; };
    uint32_t axis = 0;
    for (uint32_t a = 1; a < 3; ++a)
        if (spread(a) > spread(axis)) axis = a;
    std::vector<CvWeightedColor>& list = *colors;
    std::sort(list.begin() + box.begin, list.begin() + box.end, ByAxis{axis});
    double weight = 0, sum[3] = {0, 0, 0}, squares = 0, rest[3];
    const double totalSquares = box.squares[0] + box.squares[1] + box.squares[2];
    double bestError = 0;
    uint32_t bestCut = box.begin + 1;
    for (uint32_t k = box.begin; k + 1 < box.end; ++k) {
        const CvWeightedColor& c = list[k];
        weight += c.count;
        for (uint32_t a = 0; a < 3; ++a) {
            const double v = Channel(c, a);
            sum[a] += c.count * v;
            squares += c.count * v * v;
            rest[a] = box.sum[a] - sum[a];
        }
        const double error =
            PartError(weight, sum, squares) + PartError(box.weight - weight, rest, totalSquares - squares);
        if (k == box.begin || error < bestError) {
            bestError = error;
            bestCut = k + 1;
        }
    }
    boxes[index] = MakeBox(box.begin, bestCut);
    boxes.push_back(MakeBox(bestCut, box.end));
}
