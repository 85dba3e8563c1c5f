#include <gtest/gtest.h>

#include "uicore/HcColorSliderCore.h"

namespace {

constexpr auto kRed = HcSliderChannel::red;
constexpr auto kGreen = HcSliderChannel::green;
constexpr auto kBlue = HcSliderChannel::blue;

// The colour picker's block: bars 11 high at (45, 110), rows 25 apart.
HcColorSliderCore PickerSlider(HcRgb color) {
    HcColorSliderCore slider(11);
    slider.SetPosition(45, 110, 25);
    slider.SetEnabled(true, false);
    slider.SetColor(color);
    return slider;
}

HcPoint CentreOf(const HcPixelRect& rect) {
    return {rect.left + rect.Width() / 2, rect.top + rect.Height() / 2};
}

}  // namespace

TEST(ColorSliderCore, GeometryFollowsRowsAndValues) {
    HcColorSliderCore slider = PickerSlider({0, 255, 9});
    EXPECT_EQ(slider.ThumbRect(kGreen), (HcPixelRect{168, 146, 152, 178}));  // left + 123, below the bar
    EXPECT_EQ(slider.ThumbRect(kRed), (HcPixelRect{41, 121, 127, 51}));      // left - 4
    EXPECT_EQ(slider.ThumbRect(kBlue).left, 45 + 0);                         // 9 / 2 - 4
    EXPECT_EQ(slider.LeftArrowRect(kBlue), (HcPixelRect{37, 160, 171, 45}));
    EXPECT_EQ(slider.RightArrowRect(kRed), (HcPixelRect{177, 110, 121, 185}));
    EXPECT_EQ(slider.HexOrigin(kGreen).y, 132);
}

TEST(ColorSliderCore, DraggingMapsTheDistanceFromTheBarAndClamps) {
    HcColorSliderCore slider = PickerSlider({7, 8, 0});
    EXPECT_EQ(slider.MouseDown(CentreOf(slider.ThumbRect(kBlue))).changed, HcSliderChannel::none);
    ASSERT_EQ(slider.DragChannel(), kBlue);

    const std::pair<int, int> offsets[] = {{126, 252}, {127, 255}, {500, 255}, {-1, 0}, {1, 2}, {0, 0}};
    uint8_t previous = 0;
    for (auto [offset, value] : offsets) {
        HcSliderResponse response = slider.MouseMove({45 + offset, 0});
        EXPECT_EQ(slider.Color(), (HcRgb{7, 8, uint8_t(value)})) << offset;
        EXPECT_EQ(response.changed, value == previous ? HcSliderChannel::none : kBlue) << offset;
        if (value != previous) {
            EXPECT_EQ(response.previousValue, previous) << offset;
        }
        previous = uint8_t(value);
    }
    EXPECT_TRUE(slider.MouseUp().endInteraction);
    EXPECT_EQ(slider.MouseMove({45 + 100, 0}).changed, HcSliderChannel::none);
    EXPECT_EQ(slider.Channel(kBlue), 0);
}

TEST(ColorSliderCore, HeldArrowStepsAtOnceThenPerTickAndStopsAtTheEnds) {
    HcColorSliderCore slider = PickerSlider({1, 252, 40});
    HcSliderResponse press = slider.MouseDown(CentreOf(slider.RightArrowRect(kGreen)));
    EXPECT_TRUE(press.startRepeat);
    EXPECT_EQ(press.changed, kGreen);
    EXPECT_EQ(press.previousValue, 252);
    EXPECT_EQ(slider.RepeatDirection(), kSliderRepeatUp);
    EXPECT_EQ(slider.RepeatTick().changed, kGreen);
    EXPECT_EQ(slider.RepeatTick().changed, kGreen);
    EXPECT_EQ(slider.Channel(kGreen), 255);
    EXPECT_EQ(slider.RepeatTick().changed, HcSliderChannel::none);
    EXPECT_EQ(slider.Color(), (HcRgb{1, 255, 40}));
    EXPECT_TRUE(slider.MouseUp().endInteraction);
    EXPECT_EQ(slider.RepeatTick().changed, HcSliderChannel::none);

    slider.MouseDown(CentreOf(slider.LeftArrowRect(kRed)));
    slider.RepeatTick();
    EXPECT_EQ(slider.Color(), (HcRgb{0, 255, 40}));
    slider.MouseUp();
}

TEST(ColorSliderCore, GradientRunsOneChannelInStepsOfTwoAndIsWhiteWhileDisabled) {
    HcColorSliderCore slider(11);
    slider.SetPosition(45, 110, 25);
    slider.SetColor({10, 20, 30});
    EXPECT_FALSE(slider.Enabled());
    EXPECT_EQ(slider.GradientColor(kRed, 5), (HcRgb{255, 255, 255}));
    EXPECT_FALSE(slider.MouseDown(CentreOf(slider.RightArrowRect(kRed))).startRepeat);
    EXPECT_EQ(slider.Color(), (HcRgb{10, 20, 30}));

    EXPECT_FALSE(slider.SetEnabled(false, true));
    EXPECT_TRUE(slider.SetEnabled(true, false));
    EXPECT_EQ(slider.GradientColor(kRed, 0), (HcRgb{0, 20, 30}));
    EXPECT_EQ(slider.GradientColor(kRed, 127), (HcRgb{254, 20, 30}));
    EXPECT_EQ(slider.GradientColor(kGreen, 64), (HcRgb{10, 128, 30}));
    EXPECT_TRUE(slider.SetEnabled(false, false));
    EXPECT_TRUE(slider.SetEnabled(true, true));
    EXPECT_EQ(slider.Color(), (HcRgb{0, 0, 0}));
}

TEST(ColorSliderCore, ValueTexts) {
    EXPECT_EQ(SliderHexText(10), "0A");
    EXPECT_EQ(SliderHexText(255), "FF");
    EXPECT_EQ(SliderDecimalText(0), "0    ");
    EXPECT_EQ(SliderDecimalText(255), "255  ");
}
