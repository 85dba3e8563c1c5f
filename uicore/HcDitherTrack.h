// The arithmetic of the eleven-stop dithering slider: track and tick geometry, the thumb, dragging.
// The value stays within 0..10, and a drag reports a change only when it ends on another stop than it began.
#pragma once

#include <cstdint>
#include <string>

#include "uicore/HcUiTypes.h"

constexpr int32_t kDitherStops = 11;
constexpr int32_t kDitherTrackY = 43;
constexpr int32_t kDitherTickTop = 38;
constexpr int32_t kDitherEndTickTop = 35;
constexpr int32_t kDitherThumbHalfWidth = 6;
constexpr int32_t kDitherThumbBaseY = 51;
constexpr uint16_t kDitherLeftControl = 1052;   // the track starts right of this control...
constexpr uint16_t kDitherRightControl = 1053;  // ...and ends left of this one
constexpr uint16_t kDitherLabelControl = 1024;  // "Dithering:%d"
constexpr uint16_t kCommandSettingChanged = 45099;
constexpr uint16_t kSettingDither = 45100;  // the parameter of kCommandSettingChanged

struct HcDitherTick {
    int32_t x, top, bottom;
};

struct HcDitherThumb {
    HcPoint tip, baseLeft, baseRight;
};

class HcDitherTrack {
public:
    // From the right edge of the control before the track and the left edge of the control after it.
    HcDitherTrack(int32_t leftControlRight, int32_t rightControlLeft, uint8_t value);

    int32_t X0() const { return x0; }
    int32_t Step() const { return step; }
    uint8_t Value() const { return value; }
    // Clamped to 0..10; returns whether the value changed.
    bool SetValue(int32_t newValue);
    int32_t ValueAt(int32_t x) const;

    int32_t TipX() const { return x0 + value * step; }
    int32_t TrackRight() const { return x0 + (kDitherStops - 1) * step; }
    HcDitherTick Tick(int32_t stop) const;
    HcDitherThumb Thumb() const;
    HcPixelRect ThumbRect() const;

    // A press on the thumb starts a drag (true); a move while dragging sets the value (true when it changed).
    bool Press(HcPoint point);
    bool Move(HcPoint point);
    // Ends a drag; true when the value now differs from the one it started at, so the parent must be told.
    bool Release();
    bool Dragging() const { return dragging; }

private:
    int32_t x0, step;
    uint8_t value;
    uint8_t dragStartValue = 0;
    bool dragging = false;
};

std::string DitherLabelText(uint8_t value);  // "Dithering:%d"
