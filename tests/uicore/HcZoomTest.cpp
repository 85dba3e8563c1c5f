// Zoom levels: their ratios, scaled sizes and labels, down to the halving steps below 1 : 8.
#include <gtest/gtest.h>

#include "uicore/HcZoom.h"

TEST(HcZoom, LevelsGiveRatiosAndLabels) {
    struct Case {
        int level, num, den;
        const char* label;
        int32_t scaled100, scaled60;
    };
    const Case cases[] = {
        {-19, 1, 32768, "1 : 32768", 1, 1}, {-9, 1, 32, "1 : 32", 4, 2},  {-8, 1, 16, "1 : 16", 7, 4},
        {-7, 1, 8, "1 : 8", 13, 8},         {-2, 1, 3, "1 : 3", 34, 20},  {0, 1, 1, "1 : 1", 100, 60},
        {3, 4, 1, "4 : 1", 400, 240},       {7, 8, 1, "8 : 1", 800, 480},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        const HcZoom zoom = HcZoom::ForLevel(c.level);
        EXPECT_EQ(zoom.level, c.level);
        EXPECT_EQ(zoom.num, c.num);
        EXPECT_EQ(zoom.den, c.den);
        EXPECT_EQ(zoom.Label(), c.label);
        EXPECT_EQ(zoom.Scale(100), c.scaled100);
        EXPECT_EQ(zoom.Scale(60), c.scaled60);
    }
}

TEST(HcZoom, LevelsOutsideTheRangeAreNoneAndClamp) {
    EXPECT_FALSE(HcZoom::IsLevel(8));
    EXPECT_FALSE(HcZoom::IsLevel(-20));
    EXPECT_TRUE(HcZoom::IsLevel(-19));
    EXPECT_EQ(HcZoom::ForLevel(-40).den, 32768);
    EXPECT_EQ(HcZoom::ForLevel(40).num, 8);
}
