// The arithmetic of the eleven-stop dithering slider: track and tick geometry, the thumb, dragging.
// The value stays within 0..10, and a drag reports a change only when it ends on another stop than it began.
#include "uicore/HcDitherTrack.h"

#include <algorithm>
#include <cstdio>

HcDitherTrack::HcDitherTrack(int32_t leftControlRight, int32_t rightControlLeft, uint8_t value)
    : x0(leftControlRight + 2),
      // At least 1: controls set closer than the track's margins must not make every later division fail.
      step(std::max<int32_t>(1, (rightControlLeft - leftControlRight - 6) / (kDitherStops - 1))),
      value(std::min<uint8_t>(value, kDitherStops - 1)) {}

bool HcDitherTrack::SetValue(int32_t newValue) {
    uint8_t clamped = uint8_t(std::clamp(newValue, 0, kDitherStops - 1));
    if (clamped == value) return false;
    value = clamped;
    return true;
}

int32_t HcDitherTrack::ValueAt(int32_t x) const {
    // Division truncates toward zero; that differs from rounding down only below 0, which clamps to 0 anyway.
    return std::clamp((x + step / 2 - x0) / step, 0, kDitherStops - 1);
}

HcDitherTick HcDitherTrack::Tick(int32_t stop) const {
    bool end = stop == 0 || stop == kDitherStops - 1;
    return {x0 + stop * step, end ? kDitherEndTickTop : kDitherTickTop, kDitherTrackY};
}

HcDitherThumb HcDitherTrack::Thumb() const {
    int32_t tipX = TipX();
    return {{tipX, kDitherTrackY},
            {tipX - kDitherThumbHalfWidth, kDitherThumbBaseY},
            {tipX + kDitherThumbHalfWidth, kDitherThumbBaseY}};
}

HcPixelRect HcDitherTrack::ThumbRect() const {
    int32_t tipX = TipX();
    return {tipX - kDitherThumbHalfWidth, kDitherTrackY, kDitherThumbBaseY, tipX + kDitherThumbHalfWidth};
}

bool HcDitherTrack::Press(HcPoint point) {
    if (!ThumbRect().Contains(point)) return false;
    dragging = true;
    dragStartValue = value;
    return true;
}

bool HcDitherTrack::Move(HcPoint point) {
    return dragging && SetValue(ValueAt(point.x));
}

bool HcDitherTrack::Release() {
    bool changed = dragging && value != dragStartValue;
    dragging = false;
    return changed;
}

std::string DitherLabelText(uint8_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "Dithering:%d", int(value));
    return text;
}
