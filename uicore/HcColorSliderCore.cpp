// The arithmetic and mouse logic of the R, G, B slider block: values, geometry of bars, thumbs and arrows, texts.
// A channel value only changes through SetChannel, and every change is reported with the value it replaced.
#include "uicore/HcColorSliderCore.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr HcSliderChannel kChannels[] = {HcSliderChannel::red, HcSliderChannel::green, HcSliderChannel::blue};

uint8_t& ChannelOf(HcRgb& rgb, HcSliderChannel channel) {
    switch (channel) {
        case HcSliderChannel::red: return rgb.red;
        case HcSliderChannel::green: return rgb.green;
        default: return rgb.blue;
    }
}

}  // namespace

HcColorSliderCore::HcColorSliderCore(int32_t barHeight) : barHeight(barHeight) {}

void HcColorSliderCore::SetPosition(int32_t newLeft, int32_t newTop, int32_t newRowStep) {
    left = newLeft;
    top = newTop;
    rowStep = newRowStep;
}

bool HcColorSliderCore::SetEnabled(bool newEnabled, bool reset) {
    if (newEnabled == enabled) return false;
    enabled = newEnabled;
    if (enabled && reset) color = HcRgb{};
    return true;
}

bool HcColorSliderCore::SetChannel(HcSliderChannel channel, uint8_t value) {
    if (channel == HcSliderChannel::none) return false;
    uint8_t& stored = ChannelOf(color, channel);
    if (stored == value) return false;
    stored = value;
    return true;
}

uint8_t HcColorSliderCore::Channel(HcSliderChannel channel) const {
    HcRgb copy = color;
    return channel == HcSliderChannel::none ? 0 : ChannelOf(copy, channel);
}

void HcColorSliderCore::SetColor(HcRgb rgb) {
    SetChannel(HcSliderChannel::blue, rgb.blue);
    SetChannel(HcSliderChannel::green, rgb.green);
    SetChannel(HcSliderChannel::red, rgb.red);
}

int32_t HcColorSliderCore::RowY(HcSliderChannel channel) const {
    return top + int32_t(channel) * rowStep;
}

HcPixelRect HcColorSliderCore::BarRect(HcSliderChannel channel) const {
    return HcPixelRect::At(left, RowY(channel), kSliderBarWidth, barHeight);
}

HcPixelRect HcColorSliderCore::ThumbRect(HcSliderChannel channel) const {
    return HcPixelRect::At(left + ThumbOffset(Channel(channel)), RowY(channel) + barHeight, kSliderThumbWidth,
                           kSliderThumbHeight);
}

HcPixelRect HcColorSliderCore::LeftArrowRect(HcSliderChannel channel) const {
    return HcPixelRect::At(left + kSliderLeftArrowOffset, RowY(channel), kSliderArrowWidth, barHeight);
}

HcPixelRect HcColorSliderCore::RightArrowRect(HcSliderChannel channel) const {
    return HcPixelRect::At(left + kSliderRightArrowOffset, RowY(channel), kSliderArrowWidth, barHeight);
}

HcPoint HcColorSliderCore::LabelOrigin(HcSliderChannel channel) const {
    return {left + kSliderLabelOffset, RowY(channel) - kSliderTextRaise};
}

HcPoint HcColorSliderCore::DecimalOrigin(HcSliderChannel channel) const {
    return {left + kSliderDecimalOffset, RowY(channel) - kSliderTextRaise};
}

HcPoint HcColorSliderCore::HexOrigin(HcSliderChannel channel) const {
    return {left + kSliderHexOffset, RowY(channel) - kSliderTextRaise};
}

HcPoint HcColorSliderCore::DecimalHeaderOrigin() const {
    return {left + kSliderDecimalOffset, top - kSliderHeaderRaise};
}

HcPoint HcColorSliderCore::HexHeaderOrigin() const {
    return {left + kSliderHexOffset, top - kSliderHeaderRaise};
}

HcRgb HcColorSliderCore::GradientColor(HcSliderChannel channel, int32_t column) const {
    if (!enabled) return HcRgb{255, 255, 255};
    HcRgb gradient = color;
    ChannelOf(gradient, channel) = uint8_t(2 * std::clamp(column, 0, kSliderGradientColumns - 1));
    return gradient;
}

uint8_t HcColorSliderCore::ValueAtOffset(int32_t offsetFromLeft) {
    if (offsetFromLeft < 0) return 0;
    if (offsetFromLeft >= kSliderGradientColumns - 1) return 255;
    return uint8_t(2 * offsetFromLeft);
}

HcSliderResponse HcColorSliderCore::MouseDown(HcPoint point) {
    if (!enabled) return {};
    for (HcSliderChannel channel : kChannels) {
        if (ThumbRect(channel).Contains(point)) {
            dragChannel = channel;
            return {};
        }
        if (LeftArrowRect(channel).Contains(point) || RightArrowRect(channel).Contains(point)) {
            repeatChannel = channel;
            repeatDirection = LeftArrowRect(channel).Contains(point) ? kSliderRepeatDown : kSliderRepeatUp;
            HcSliderResponse response = Step(repeatChannel, repeatDirection);
            response.startRepeat = true;
            return response;
        }
    }
    return {};
}

HcSliderResponse HcColorSliderCore::MouseMove(HcPoint point) {
    if (!enabled || dragChannel == HcSliderChannel::none) return {};
    return Change(dragChannel, ValueAtOffset(point.x - left));
}

HcSliderResponse HcColorSliderCore::MouseUp() {
    HcSliderResponse response;
    response.endInteraction = dragChannel != HcSliderChannel::none || repeatChannel != HcSliderChannel::none;
    dragChannel = repeatChannel = HcSliderChannel::none;
    return response;
}

HcSliderResponse HcColorSliderCore::RepeatTick() {
    if (!enabled || repeatChannel == HcSliderChannel::none) return {};
    return Step(repeatChannel, repeatDirection);
}

HcSliderResponse HcColorSliderCore::Step(HcSliderChannel channel, uint8_t direction) {
    int value = Channel(channel) + (direction == kSliderRepeatUp ? 1 : -1);
    if (value < 0 || value > 255) return {};
    return Change(channel, uint8_t(value));
}

HcSliderResponse HcColorSliderCore::Change(HcSliderChannel channel, uint8_t value) {
    HcSliderResponse response;
    response.previousValue = Channel(channel);
    if (SetChannel(channel, value)) response.changed = channel;
    return response;
}

std::string SliderDecimalText(uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%-5u", unsigned(value));
    return text;
}

std::string SliderHexText(uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", unsigned(value));
    return text;
}
