// Zoom levels: their ratios, scaled sizes, labels and which buttons the end levels disable.
#include <gtest/gtest.h>

#include "uicore/HcZoom.h"

TEST(HcZoom, LevelsGiveRatiosLabelsAndButtonStates) {
    struct Case {
        int level, num, den;
        const char* label;
        int32_t scaled100, scaled60;
        bool canIn, canOut;
    };
    const Case cases[] = {
        {-7, 1, 8, "1 : 8", 13, 8, true, false},   {-2, 1, 3, "1 : 3", 34, 20, true, true},
        {0, 1, 1, "1 : 1", 100, 60, true, true},   {3, 4, 1, "4 : 1", 400, 240, true, true},
        {7, 8, 1, "8 : 1", 800, 480, false, true},
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
        EXPECT_EQ(zoom.CanZoomIn(), c.canIn);
        EXPECT_EQ(zoom.CanZoomOut(), c.canOut);
    }
}

TEST(HcZoom, StepsStopAtTheEnds) {
    EXPECT_EQ(HcZoom::ForLevel(7).StepLevel(true), 7);
    EXPECT_EQ(HcZoom::ForLevel(-7).StepLevel(false), -7);
    EXPECT_EQ(HcZoom::ForLevel(-1).StepLevel(true), 0);
    EXPECT_FALSE(HcZoom::IsLevel(8));
    EXPECT_FALSE(HcZoom::IsLevel(-8));
}
