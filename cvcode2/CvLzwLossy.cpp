// The lossy LZW levels' tolerance, which entries may stand in for which, and the search for the longest string.
// A locked entry neither stands in nor is stood in for, so its pixels are exactly what the encoder was given.
#include "cvcode2/CvLzwLossy.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvErrorCode.h"

namespace {
// Steps into the tree per string. Paths are tried depth first and none shorter than the best is entered, so a
// spent budget rarely costs length; it bounds the time in dithered areas, where many paths stay within tolerance.
constexpr uint32_t kSearchSteps = 256;
const int32_t kNoError[3] = {0, 0, 0};
}  // namespace

uint32_t CvLossyLimit(uint8_t level) {
    // The tolerance grows linearly with the level: 3/5 of an RGB unit a step, 60 units at the top.
    const uint32_t step = std::min(level, kCvLossyMax);
    return step * step * 9 / 25;
}

CvLossyMatcher::CvLossyMatcher(const CvColorTable& table, const CvLossyOptions& options)
    : limit(int32_t(CvLossyLimit(options.level))) {
    const uint32_t count = std::min<uint32_t>(table.GetCount(), 256);
    std::memset(colors, 0, sizeof colors);
    std::memset(standIns, 0, sizeof standIns);
    for (uint32_t i = 0; i < count; ++i)
        for (int channel = 0; channel < 3; ++channel) colors[i][channel] = table.Entry(i)[channel];
    auto free = [&](uint32_t i) { return i < count && !options.locked[i]; };
    for (uint32_t s = 0; s < 256; ++s) {
        if (!free(s)) continue;
        for (uint32_t c = 0; c < 256; ++c)
            if (c != s && free(c) && CvColorTable::Distance(table.Entry(s), table.Entry(c)) <= uint32_t(limit))
                standIns[s][c >> 6] |= uint64_t(1) << (c & 63);
    }
    Reset(256);
}

void CvLossyMatcher::Reset(uint32_t roots) {
    for (uint32_t r = 0; r < roots && r < 256; ++r)
        nodes[r] = Node{uint16_t(kNone), uint16_t(kNone), uint16_t(kNone), 0, uint8_t(r)};
}

void CvLossyMatcher::Add(uint32_t code, uint32_t prefix, uint32_t suffix) {
    Node& node = nodes[code];
    node.firstChild = uint16_t(kNone);
    node.sibling = nodes[prefix].firstChild;
    node.parent = uint16_t(prefix);
    node.height = 0;
    node.suffix = uint8_t(suffix);
    nodes[prefix].firstChild = uint16_t(code);
    for (uint32_t up = prefix, height = 1; up != kNone && nodes[up].height < height; up = nodes[up].parent, ++height)
        nodes[up].height = uint16_t(height);
}

void CvLossyMatcher::StartRows(size_t rowLength) {
    try {
        for (std::vector<int32_t>& shares : below) shares.assign(3 * rowLength, 0);
    } catch (const std::bad_alloc&) {
        CV_THROW(kCvErrNoMemory);
    }
    std::fill(right, right + 3, 0);
    currentRow = 0;
}

void CvLossyMatcher::NextRow() {
    std::swap(below[0], below[1]);
    std::fill(below[1].begin(), below[1].end(), 0);
    ++currentRow;
}

inline bool CvLossyMatcher::Step(uint32_t source, uint32_t coded, const int32_t* inherited, int32_t* toRight,
                                 int32_t* toBelow, int32_t& cost) const {
    int32_t error[3];
    if (coded == source) {
        std::copy(inherited, inherited + 3, error);
        cost = 0;
    } else {
        if (!(standIns[source][coded >> 6] >> (coded & 63) & 1)) return false;
        for (int c = 0; c < 3; ++c) error[c] = colors[source][c] + inherited[c] - colors[coded][c];
        if (error[0] * error[0] + error[1] * error[1] + error[2] * error[2] > limit) return false;
        cost = 0;
        for (int c = 0; c < 3; ++c)
            cost += (colors[source][c] - colors[coded][c]) * (colors[source][c] - colors[coded][c]);
    }
    for (int c = 0; c < 3; ++c) {
        toRight[c] = error[c] * kCvLossyRightShare / 16;
        toBelow[c] = error[c] * kCvLossyDownShare / 16;
    }
    return true;
}

// Depth first through the tree from the pixel's own index, one frame per pixel of the path. A child whose subtree
// cannot reach past the best length yet is not entered. A path that runs on into the next row finds what its pixels
// inherit from above either among the pixels coded before it or on itself, one row length back.
CvLossyMatch CvLossyMatcher::Search(const uint8_t* pixels, size_t at, size_t end, size_t rowLength) {
    const size_t column = at - currentRow * rowLength;
    const size_t rowEnd = at - column + rowLength;
    if (column == 0) std::fill(right, right + 3, 0);
    const int32_t* above = below[0].data() + 3 * column;
    int32_t inherited[3];
    // What the pixel `depth` after `at` inherits, its left neighbour handing on `left`.
    auto inherit = [&](size_t depth, const int32_t* left) {
        const size_t pos = at + depth;
        const int32_t* up = above + 3 * depth;
        if (pos >= rowEnd) {
            const size_t col = (pos - rowEnd) % rowLength;
            if (col == 0) left = kNoError;
            up = depth >= rowLength ? frames[depth - rowLength].down : below[1].data() + 3 * col;
        }
        for (int c = 0; c < 3; ++c) inherited[c] = left[c] + up[c];
    };

    const uint32_t source = pixels[at];
    int32_t cost = 0;
    inherit(0, right);
    Step(source, source, inherited, frames[0].right, frames[0].down, cost);
    frames[0].node = source;
    frames[0].child = nodes[source].firstChild;
    frames[0].cost = 0;
    CvLossyMatch best{source, 1};
    int64_t bestCost = 0;
    uint32_t budget = kSearchSteps;
    for (size_t depth = 1; depth > 0;) {
        Frame& frame = frames[depth - 1];
        const size_t pos = at + depth;
        if (frame.child == kNone || pos >= end || budget == 0) {
            --depth;
            continue;
        }
        const uint32_t child = frame.child;
        frame.child = nodes[child].sibling;
        if (depth + 1 + nodes[child].height <= best.length) continue;
        Frame& next = frames[depth];
        inherit(depth, frame.right);
        if (!Step(pixels[pos], nodes[child].suffix, inherited, next.right, next.down, cost)) continue;
        --budget;
        next.node = child;
        next.child = nodes[child].firstChild;
        next.cost = frame.cost + cost;
        ++depth;
        if (depth > best.length || (depth == best.length && next.cost < bestCost)) {
            best = CvLossyMatch{child, uint32_t(depth)};
            bestCost = next.cost;
        }
    }
    return best;
}

// The string's pixels once more, as Search weighed them, now handing their errors on for good.
void CvLossyMatcher::Commit(const uint8_t* pixels, size_t at, size_t rowLength, const CvLossyMatch& match) {
    uint32_t node = match.code;
    for (uint32_t k = match.length; k > 0; node = nodes[node].parent) path[--k] = nodes[node].suffix;
    size_t column = at - currentRow * rowLength;
    if (column == 0) std::fill(right, right + 3, 0);
    int32_t inherited[3], cost = 0;
    for (uint32_t k = 0; k < match.length; ++k, ++column) {
        if (column == rowLength) {
            NextRow();
            column = 0;
            std::fill(right, right + 3, 0);
        }
        for (int c = 0; c < 3; ++c) inherited[c] = right[c] + below[0][3 * column + c];
        Step(pixels[at + k], path[k], inherited, right, &below[1][3 * column], cost);
    }
    if (column == rowLength) NextRow();
}
