#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFlip.h"
#include "cvcode2/CvLine.h"
#include "cvcode2/CvResize.h"
#include "tests/support/ErrorOf.h"

namespace {
std::vector<std::pair<int, int>> Walk(int x0, int y0, int x1, int y1) {
    CvLine line;
    line.Init(x0, y0, x1, y1);
    std::vector<std::pair<int, int>> points;
    int x, y;
    bool more = true;
    while (more) {
        more = line.Next(&x, &y);
        points.emplace_back(x, y);
    }
    return points;
}
using Points = std::vector<std::pair<int, int>>;
}  // namespace

TEST(CvFlip, FlipBitsReversesPixelsAndKeepsPadding) {
    uint8_t row[2] = {0x80, 0x7F};  // pixel 0 set; the 7 padding bits of byte 1 set
    CvFlip::FlipBits(row, 2, 9, 1);
    EXPECT_EQ(row[0], 0x00);
    EXPECT_EQ(row[1], 0xFF);                    // pixel 8 now set, padding untouched
    uint8_t two[4] = {0xD0, 0x00, 0x40, 0x00};  // 3-pixel rows 1 1 0 (+ a set padding bit) and 0 1 0
    CvFlip::FlipBits(two, 2, 3, 2);
    EXPECT_EQ(two[0], 0x70);
    EXPECT_EQ(two[2], 0x40);
}

TEST(CvFlip, RowsSwapOnlyMirrorPairs) {
    uint8_t one[3] = {1, 2, 3};
    CvFlip::FlipRows(one, 1, 3, 3, 1);
    EXPECT_EQ(one[0], 1);
    uint8_t three[9] = {1, 1, 9, 2, 2, 9, 3, 3, 9};  // 2 bytes per row, a padding byte each
    CvFlip::FlipRows(three, 1, 3, 2, 3);
    EXPECT_EQ(std::vector<uint8_t>(three, three + 9), (std::vector<uint8_t>{3, 3, 9, 2, 2, 9, 1, 1, 9}));
    uint8_t words[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    CvFlip::FlipRows32(words, 8, 2, 2);
    EXPECT_EQ(words[0], 9);
    EXPECT_EQ(words[15], 8);
}

TEST(CvFlip, CopyBitsAtEveryPhasePairMatchesABitByBitCopy) {
    uint8_t source[6] = {0xA5, 0x3C, 0xF0, 0x0F, 0x99, 0x66};
    for (uint32_t from = 0; from < 9; ++from)
        for (uint32_t to = 0; to < 9; ++to)
            for (uint32_t n : {1u, 5u, 8u, 13u, 30u}) {
                uint8_t dst[6];
                std::memset(dst, 0x5A, sizeof dst);
                uint8_t expected[6];
                std::memcpy(expected, dst, sizeof dst);
                for (uint32_t i = 0; i < n; ++i) {
                    const bool bit = source[(from + i) / 8] & (0x80 >> ((from + i) % 8));
                    const uint8_t mask = uint8_t(0x80 >> ((to + i) % 8));
                    uint8_t& byte = expected[(to + i) / 8];
                    byte = uint8_t(bit ? byte | mask : byte & ~mask);
                }
                CvFlip::CopyBits(source, from, dst, to, n);
                ASSERT_EQ(0, std::memcmp(dst, expected, sizeof dst)) << from << " " << to << " " << n;
            }
}

TEST(CvLine, WalksEveryOctantBothWays) {
    EXPECT_EQ(Walk(0, 0, 3, 1), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(Walk(0, 0, -1, -3), (Points{{0, 0}, {0, -1}, {-1, -2}, {-1, -3}}));  // steep, reversed
    // Every octant: the walk is 8-connected, ends exactly at the end point and has max(|dx|, |dy|) + 1 points.
    for (auto [dx, dy] : Points{{7, 3}, {3, 7}, {-3, 7}, {-7, 3}, {-7, -3}, {-3, -7}, {3, -7}, {7, -3}}) {
        const Points points = Walk(10, 10, 10 + dx, 10 + dy);
        EXPECT_EQ(points.size(), size_t(std::max(std::abs(dx), std::abs(dy)) + 1));
        EXPECT_EQ(points.back(), std::make_pair(10 + dx, 10 + dy));
        for (size_t i = 1; i < points.size(); ++i) {
            EXPECT_LE(std::abs(points[i].first - points[i - 1].first), 1);
            EXPECT_LE(std::abs(points[i].second - points[i - 1].second), 1);
        }
    }
}

TEST(CvResize, AreaSumTruncatesEveryContribution) {
    const uint8_t src[4] = {0, 255, 255, 0};
    uint8_t dst[1] = {99};
    CvResize::ResizeAreaSum(src, dst, 1, 1, 1, 2, 1, 2, 2, 1, 1, false);
    EXPECT_EQ(dst[0], 126);
    // Enlarging repeats each pixel; a second channel byte beyond `channels` is left alone.
    const uint8_t two[4] = {10, 7, 200, 7};
    uint8_t big[16];
    std::memset(big, 0xEE, sizeof big);
    CvResize::ResizeAreaSum(two, big, 1, 2, 2, 4, 8, 2, 1, 4, 2, false);
    EXPECT_EQ(std::vector<uint8_t>(big, big + 8), (std::vector<uint8_t>{10, 0xEE, 10, 0xEE, 200, 0xEE, 200, 0xEE}));
    EXPECT_EQ(big[8], 10);
}

TEST(CvResize, AverageIsTheRoundedAreaMean) {
    const uint8_t src[4] = {0, 255, 255, 0};
    uint8_t dst[1];
    CvResize::ResizeAverage(src, dst, 1, 1, 1, 2, 1, 2, 2, 1, 1);
    EXPECT_EQ(dst[0], 128);
    // 3 -> 2: the middle pixel is split evenly between the two outputs.
    const uint8_t row[3] = {0, 90, 180};
    uint8_t out[2];
    CvResize::ResizeAverage(row, out, 1, 1, 1, 3, 2, 3, 1, 2, 1);
    EXPECT_EQ(out[0], 30);   // (0 x 2 + 90 x 1) / 3
    EXPECT_EQ(out[1], 150);  // (90 x 1 + 180 x 2) / 3
}
