// The Hilbert curve walk of the dithering remap: the positions of a width × height image in curve order.
// Stepping over sub-curves off the image, and handing whole inside blocks to the visitor, never changes the order.
#pragma once

#include <cstdint>

// The curve of level l in direction d (1..4): four sub-curves of level l − 1 with one move between each pair.
// A curve of level 0 has no moves, so a level-1 curve is just the three moves.
struct CvHilbertRule {
    uint8_t sub[4];       // directions of the sub-curves
    int8_t dx[3], dy[3];  // the moves between them
};

inline const CvHilbertRule& HilbertRule(uint32_t direction) {
    static const CvHilbertRule kRules[5] = {{{0, 0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
                                            {{2, 1, 1, 4}, {0, 1, 0}, {1, 0, -1}},
                                            {{1, 2, 2, 3}, {1, 0, -1}, {0, 1, 0}},
                                            {{4, 3, 3, 2}, {0, -1, 0}, {-1, 0, 1}},
                                            {{3, 4, 4, 1}, {-1, 0, 1}, {0, -1, 0}}};
    return kRules[direction];
}

// For each direction, the positions of a level-4 curve after each of its 255 moves, relative to its start.
// A visitor runs a whole 16 × 16 block from it in one tight loop.
struct CvHilbertBlock {
    static constexpr uint32_t kLevel = 4, kMoves = 255;
    int8_t dx[5][kMoves] = {}, dy[5][kMoves] = {};

    CvHilbertBlock() {
        for (uint32_t direction = 1; direction <= 4; ++direction) {
            Cursor cursor{direction, 0, 0, 0};
            Record(kLevel, direction, cursor);
        }
    }

private:
    struct Cursor {
        uint32_t table, moves;
        int32_t x, y;
    };

    void Record(uint32_t level, uint32_t direction, Cursor& c) {
        if (level == 0) return;
        const CvHilbertRule& rule = HilbertRule(direction);
        for (int step = 0; step < 3; ++step) {
            Record(level - 1, rule.sub[step], c);
            c.x += rule.dx[step];
            c.y += rule.dy[step];
            dx[c.table][c.moves] = int8_t(c.x);
            dy[c.table][c.moves] = int8_t(c.y);
            ++c.moves;
        }
        Record(level - 1, rule.sub[3], c);
    }
};

inline const CvHilbertBlock& HilbertBlock() {
    static const CvHilbertBlock block;
    return block;
}

// Walks the square of side 2^L, L the bit length of max(width, height), from (0, 0) along the curve of level L
// in direction 1, ending at (2^L − 1, 0). The visitor gets visit(x, y) for each single position inside the
// image, and visit.Block(direction, x, y) for the 255 positions after (x, y) of a level-4 sub-curve whose whole
// square lies inside; (x, y) itself was visited by the move before.
template <class Visit>
class CvHilbertCurve {
public:
    CvHilbertCurve(uint32_t width_, uint32_t height_, Visit& visit_) : width(width_), height(height_), visit(visit_) {}

    void Walk() {
        uint32_t level = 0;
        for (uint32_t side = width > height ? width : height; side; side >>= 1) ++level;
        x = y = 0;
        if (width && height) visit(x, y);
        Curve(level, 1);
    }

private:
    void Move(int32_t dx, int32_t dy) {
        x += uint32_t(dx);
        y += uint32_t(dy);
        if (x < width && y < height) visit(x, y);
    }

    // Directions 1 and 2 start at the square's low corner, 3 and 4 at its high corner; 1 and 3 end across the
    // square in x, 2 and 4 in y.
    void Curve(uint32_t level, uint32_t direction) {
        if (level == 0) return;
        const uint64_t span = (uint64_t(1) << level) - 1;
        const bool low = direction <= 2;
        const uint64_t x0 = low ? x : x - span, y0 = low ? y : y - span;
        const bool off = x0 >= width || y0 >= height;
        const bool block = level == CvHilbertBlock::kLevel && x0 + span < width && y0 + span < height;
        if (off || block) {
            if (block) visit.Block(direction, x, y);
            if (direction % 2)
                x = uint32_t(direction == 1 ? x + span : x - span);
            else
                y = uint32_t(direction == 2 ? y + span : y - span);
            return;
        }
        const CvHilbertRule& rule = HilbertRule(direction);
        for (int step = 0; step < 3; ++step) {
            Curve(level - 1, rule.sub[step]);
            Move(rule.dx[step], rule.dy[step]);
        }
        Curve(level - 1, rule.sub[3]);
    }

    uint32_t width, height;
    uint32_t x = 0, y = 0;
    Visit& visit;
};
