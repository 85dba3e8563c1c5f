// The lossy LZW levels' tolerance, which entries may stand in for which, and the greedy walk down the strings.
// A locked entry neither stands in nor is stood in for, so its pixels are exactly what the encoder was given.
#include "cvcode2/CvLzwLossy.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvErrorCode.h"

uint32_t CvLossyLimit(uint8_t level) {
    // The tolerance grows linearly with the level: 3/5 of an RGB unit a step, 60 units at the top.
    const uint32_t step = std::min(level, kCvLossyMax);
    return step * step * 9 / 25;
}

CvLossyMatcher::CvLossyMatcher(const CvColorTable& table, const CvLossyOptions& options)
    : limit(int32_t(CvLossyLimit(options.level))),
      rightShare(CvLossyShare(kCvLossyRightShare, options.handOn)),
      downShare(CvLossyShare(kCvLossyDownShare, options.handOn)),
      handsOn(rightShare != 0 || downShare != 0) {
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
    std::fill(left, left + 3, 0);
    currentRow = 0;
}

void CvLossyMatcher::NextRow() {
    if (handsOn) {
        std::swap(below[0], below[1]);
        std::fill(below[1].begin(), below[1].end(), 0);
    }
    ++currentRow;
}

inline bool CvLossyMatcher::Step(uint32_t source, uint32_t coded, const int32_t* inherited, int32_t* error,
                                 int32_t& distance) const {
    if (coded == source) {
        for (int c = 0; c < 3; ++c) error[c] = inherited[c];
        distance = 0;
        return true;
    }
    if (!(standIns[source][coded >> 6] >> (coded & 63) & 1)) return false;
    for (int c = 0; c < 3; ++c) error[c] = colors[source][c] + inherited[c] - colors[coded][c];
    distance = error[0] * error[0] + error[1] * error[1] + error[2] * error[2];
    return distance <= limit;
}

// Greedy down the tree, a chain walk a pixel: the exact child wherever there is one, so that nothing is given up
// that exact coding would have found. The string's first pixel and those in its first row inherit from the
// rows above as they were handed down; a pixel in a row after that finds what it inherits from above among the
// pixels coded before the string, or on the string itself one row length back. The pixels of the first row hand
// their shares down as they are chosen, those of later rows once the string is known.
CvLossyMatch CvLossyMatcher::Take(const uint8_t* pixels, size_t at, size_t end, size_t rowLength) {
    const size_t column = at - currentRow * rowLength;
    const size_t rowEnd = at - column + rowLength;
    if (column == 0) left[0] = left[1] = left[2] = 0;
    // What the pixel `length` after `at` inherits, the error of the pixel before it being pathErrors[length - 1].
    auto inherit = [&](size_t length, int32_t* inherited) {
        if (!handsOn) return;
        const size_t pos = at + length;
        const int32_t* before = length > 0 ? pathErrors[length - 1] : left;
        if (pos < rowEnd) {
            const int32_t* above = &below[0][3 * (column + length)];
            for (int c = 0; c < 3; ++c) inherited[c] = before[c] * rightShare / 16 + above[c];
            return;
        }
        const size_t col = (pos - rowEnd) % rowLength;
        for (int c = 0; c < 3; ++c) {
            const int32_t up =
                length >= rowLength ? pathErrors[length - rowLength][c] * downShare / 16 : below[1][3 * col + c];
            inherited[c] = (col == 0 ? 0 : before[c] * rightShare / 16) + up;
        }
    };
    auto handDown = [&](const int32_t* error, size_t col) {
        if (handsOn)
            for (int c = 0; c < 3; ++c) below[1][3 * col + c] = error[c] * downShare / 16;
    };

    uint32_t node = pixels[at];
    int32_t inherited[3] = {0, 0, 0}, distance = 0;  // inherited stays zero when nothing is handed on
    inherit(0, inherited);
    Step(node, node, inherited, pathErrors[0], distance);
    handDown(pathErrors[0], column);
    size_t length = 1;
    for (; nodes[node].firstChild != kNone && at + length < end; ++length) {
        const uint32_t source = pixels[at + length];
        inherit(length, inherited);
        uint32_t chosen = kNone;
        int32_t reach = -1, nearest = 0;
        for (uint32_t code = nodes[node].firstChild; code != kNone; code = nodes[code].sibling) {
            const Node& child = nodes[code];
            int32_t error[3];
            if (child.suffix == source) {
                chosen = code;
                for (int c = 0; c < 3; ++c) pathErrors[length][c] = inherited[c];
                break;
            }
            if (child.height < reach || !Step(source, child.suffix, inherited, error, distance)) continue;
            if (child.height == reach && distance >= nearest) continue;
            chosen = code, reach = child.height, nearest = distance;
            for (int c = 0; c < 3; ++c) pathErrors[length][c] = error[c];
        }
        if (chosen == kNone) break;
        node = chosen;
        if (at + length < rowEnd) handDown(pathErrors[length], column + length);
    }
    for (size_t pos = rowEnd; pos < at + length; ++pos) {
        const size_t col = (pos - rowEnd) % rowLength;
        if (col == 0) NextRow();
        handDown(pathErrors[pos - at], col);
    }
    for (int c = 0; c < 3; ++c) left[c] = pathErrors[length - 1][c];
    if (at + length == (currentRow + 1) * rowLength) NextRow();
    return CvLossyMatch{node, uint32_t(length)};
}
