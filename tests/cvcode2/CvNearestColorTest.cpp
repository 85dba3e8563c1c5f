// The exact nearest-entry search against a search of the whole palette, ties included.
// Every answer must equal the lowest-index entry of least squared distance.
#include <gtest/gtest.h>

#include <vector>

#include "cvcode2/CvNearestColor.h"
#include "tests/cvcode2/ImageTestSupport.h"

namespace {
uint32_t Brute(const CvColorTable& palette, uint8_t r, uint8_t g, uint8_t b) {
    return palette.FindNearest(CvColorTable::Pack(r, g, b), -1);
}

CvColorTable RandomPalette(uint32_t count, uint32_t seed, uint32_t spread, uint32_t base) {
    CvColorTable palette(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t c[3];
        for (uint8_t& v : c) v = uint8_t(base + (seed = seed * 1103515245u + 12345u) % spread);
        palette.SetEntry(i, c[0], c[1], c[2]);
    }
    return palette;
}
}  // namespace

TEST(CvNearestColor, TiesGoToTheLowerIndexAndTheColourComesWithTheIndex) {
    CvNearestColor nearest(PaletteOf({{10, 0, 0}, {0, 0, 0}, {20, 0, 0}, {10, 0, 0}}));
    EXPECT_EQ(nearest.Index(5, 0, 0), 0u);   // entries 0 and 1 equally near
    EXPECT_EQ(nearest.Index(15, 0, 0), 0u);  // entries 0 and 2
    EXPECT_EQ(nearest.Index(10, 0, 0), 0u);  // entry 3 repeats entry 0
    EXPECT_EQ(nearest.Index(4, 0, 0), 1u);
    EXPECT_EQ(nearest.Entry(200, 9, 7), 2u | 20u << 8);
    CvNearestColor one(PaletteOf({{1, 2, 3}}));
    EXPECT_EQ(one.Entry(255, 255, 255), 0u | 1u << 8 | 2u << 16 | 3u << 24);
}

// Palettes spread over the whole cube, crowded into a corner (long candidate lists) and with repeated entries:
// every colour tried, cell corners included, gets what a search of the whole palette gives, and its distance.
TEST(CvNearestColor, AgreesWithASearchOfTheWholePalette) {
    CvColorTable repeated = RandomPalette(64, 7, 256, 0);
    repeated.SetCount(128);
    for (uint32_t i = 64; i < 128; ++i) repeated.SetEntry(i, repeated.Entry(127 - i)[0], 9, repeated.Entry(i - 64)[2]);
    for (const CvColorTable& palette :
         {RandomPalette(256, 1, 256, 0), RandomPalette(256, 2, 24, 100), RandomPalette(3, 3, 256, 0), repeated}) {
        CvNearestColor nearest(palette);
        uint32_t seed = 11;
        for (int i = 0; i < 60000; ++i) {
            seed = seed * 1103515245u + 12345u;
            uint8_t r = uint8_t(seed >> 24), g = uint8_t(seed >> 16), b = uint8_t(seed >> 8);
            if (i % 4 == 0) r |= 3, g &= ~3u, b |= 7;  // corners of the search cells
            const uint32_t want = Brute(palette, r, g, b);
            uint32_t distance;
            ASSERT_EQ(nearest.Entry(r, g, b, distance) & 255, want) << int(r) << "," << int(g) << "," << int(b);
            const uint8_t rgb[3] = {r, g, b};
            ASSERT_EQ(distance, CvColorTable::Distance(palette.Entry(want), rgb));
        }
    }
}
