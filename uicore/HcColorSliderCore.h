// The arithmetic and mouse logic of the R, G, B slider block: values, geometry of bars, thumbs and arrows, texts.
// A channel value only changes through SetChannel, and every change is reported with the value it replaced.
#pragma once

#include <cstdint>
#include <string>

#include "uicore/HcUiTypes.h"

enum class HcSliderChannel : uint8_t { red = 0, green = 1, blue = 2, none = 3 };

constexpr int kSliderRowStep = 20;           // default distance between the bars' rows
constexpr int kSliderBarWidth = 130;         // a bar bitmap: a 1-pixel frame around 128 gradient columns
constexpr int kSliderGradientColumns = 128;  // channel value 2 x column, so 0..254
constexpr int kSliderThumbWidth = 10;
constexpr int kSliderThumbHeight = 6;
constexpr int kSliderArrowWidth = 8;  // the arrow sprites are as high as the bar
constexpr int kSliderLeftArrowOffset = -8;
constexpr int kSliderRightArrowOffset = 132;
constexpr int kSliderLabelOffset = -28;    // "R:", "G:", "B:"
constexpr int kSliderDecimalOffset = 160;  // the value texts and their headers "Dec" and "Hex"
constexpr int kSliderHexOffset = 210;
constexpr int kSliderTextRaise = 3;     // texts stand this far above their row
constexpr int kSliderHeaderRaise = 20;  // headers stand this far above the first row
constexpr const char* kSliderRowLabels[3] = {"R:", "G:", "B:"};
constexpr const char* kSliderDecimalHeader = "Dec";
constexpr const char* kSliderHexHeader = "Hex";
constexpr unsigned kSliderRepeatTimerId = 965;
constexpr unsigned kSliderRepeatMilliseconds = 150;
constexpr uint8_t kSliderRepeatDown = 4;
constexpr uint8_t kSliderRepeatUp = 5;

// What one mouse or timer event asks of the window that hosts the slider.
struct HcSliderResponse {
    HcSliderChannel changed = HcSliderChannel::none;  // redraw this channel's thumb, texts and the other bars
    uint8_t previousValue = 0;                        // where to erase the old thumb
    bool startRepeat = false;                         // capture the mouse and start the repeat timer
    bool endInteraction = false;                      // release the mouse and stop the repeat timer
};

class HcColorSliderCore {
public:
    explicit HcColorSliderCore(int32_t barHeight);

    void SetPosition(int32_t left, int32_t top, int32_t rowStep = kSliderRowStep);
    // Returns whether the state changed (the bars need redrawing); enabling with `reset` zeroes the colour.
    bool SetEnabled(bool enabled, bool reset);
    bool Enabled() const { return enabled; }

    // Returns whether the value changed.
    bool SetChannel(HcSliderChannel channel, uint8_t value);
    uint8_t Channel(HcSliderChannel channel) const;
    void SetColor(HcRgb rgb);  // blue, green, then red
    HcRgb Color() const { return color; }

    // Geometry in dialog coordinates; `channel` is a row, 0 red at the top.
    int32_t Left() const { return left; }
    int32_t BarHeight() const { return barHeight; }
    int32_t RowY(HcSliderChannel channel) const;
    HcPixelRect BarRect(HcSliderChannel channel) const;
    HcPixelRect ThumbRect(HcSliderChannel channel) const;  // just below the bar, at the channel's value
    HcPixelRect LeftArrowRect(HcSliderChannel channel) const;
    HcPixelRect RightArrowRect(HcSliderChannel channel) const;
    HcPoint LabelOrigin(HcSliderChannel channel) const;
    HcPoint DecimalOrigin(HcSliderChannel channel) const;
    HcPoint HexOrigin(HcSliderChannel channel) const;
    HcPoint DecimalHeaderOrigin() const;
    HcPoint HexHeaderOrigin() const;

    // The colour of gradient column 0..127 of a bar: white while disabled.
    HcRgb GradientColor(HcSliderChannel channel, int32_t column) const;

    HcSliderResponse MouseDown(HcPoint point);
    HcSliderResponse MouseMove(HcPoint point);
    HcSliderResponse MouseUp();
    HcSliderResponse RepeatTick();

    HcSliderChannel DragChannel() const { return dragChannel; }
    HcSliderChannel RepeatChannel() const { return repeatChannel; }
    uint8_t RepeatDirection() const { return repeatDirection; }

    // The value a drag to x gives: twice the distance from the bar's left edge, 255 from 127 pixels on.
    static uint8_t ValueAtOffset(int32_t offsetFromLeft);
    static int32_t ThumbOffset(uint8_t value) { return value / 2 - 4; }

private:
    HcSliderResponse Step(HcSliderChannel channel, uint8_t direction);
    HcSliderResponse Change(HcSliderChannel channel, uint8_t value);

    HcRgb color{};
    int32_t left = 0, top = 0, rowStep = kSliderRowStep;
    HcSliderChannel dragChannel = HcSliderChannel::none;
    HcSliderChannel repeatChannel = HcSliderChannel::none;
    uint8_t repeatDirection = kSliderRepeatDown;
    bool enabled = false;
    int32_t barHeight;
};

// The value texts: decimal left-aligned and padded with spaces to 5 characters (so a shorter value covers a
// longer one), and two upper-case hexadecimal digits.
std::string SliderDecimalText(uint8_t value);
std::string SliderHexText(uint8_t value);
