// The colour slider block's arithmetic: thumbs and arrows where the rows and values put them, drags clamped to the
// bar, held arrows that step at once and then per tick, gradients, the disabled state and the value texts.
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

// A thumb stands below its bar at left + value / 2 - 4; blue's 9 puts it at left + 0.
TEST(ColorSliderCore, GeometryFollowsRowsAndValues) {
    HcColorSliderCore slider = PickerSlider({0, 255, 9});
    EXPECT_EQ(
        (std::vector<HcPixelRect>{slider.ThumbRect(kGreen), slider.ThumbRect(kRed), slider.LeftArrowRect(kBlue),
                                  slider.RightArrowRect(kRed)}),
        (std::vector<HcPixelRect>{{168, 146, 152, 178}, {41, 121, 127, 51}, {37, 160, 171, 45}, {177, 110, 121, 185}}));
    EXPECT_EQ(slider.ThumbRect(kBlue).left, 45 + 0);
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
    for (HcSliderChannel changed : {kGreen, kGreen, HcSliderChannel::none})
        EXPECT_EQ(slider.RepeatTick().changed, changed);
    EXPECT_EQ(slider.Color(), (HcRgb{1, 255, 40}));
    EXPECT_TRUE(slider.MouseUp().endInteraction);
    EXPECT_EQ(slider.RepeatTick().changed, HcSliderChannel::none);

    slider.MouseDown(CentreOf(slider.LeftArrowRect(kRed)));
    slider.RepeatTick();
    EXPECT_EQ(slider.Color(), (HcRgb{0, 255, 40}));
    slider.MouseUp();
}

// Enabling without a colour (the picker before a colour is chosen) starts from black.
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
    EXPECT_EQ((std::vector<HcRgb>{slider.GradientColor(kRed, 0), slider.GradientColor(kRed, 127),
                                  slider.GradientColor(kGreen, 64)}),
              (std::vector<HcRgb>{{0, 20, 30}, {254, 20, 30}, {10, 128, 30}}));
    EXPECT_TRUE(slider.SetEnabled(false, false));
    EXPECT_TRUE(slider.SetEnabled(true, true));
    EXPECT_EQ(slider.Color(), (HcRgb{0, 0, 0}));
}

TEST(ColorSliderCore, ValueTexts) {
    EXPECT_EQ(SliderHexText(10) + SliderHexText(255), "0AFF");
    EXPECT_EQ(SliderDecimalText(0) + "|" + SliderDecimalText(255), "0    |255  ");
}
