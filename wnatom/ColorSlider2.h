// The R, G, B slider block drawn on a dialog: three gradient bars with thumbs and arrows, the values in decimal
// and hexadecimal, and colour swatches. What it shows always follows the colour its logic holds.
#pragma once

#include <windows.h>

#include <memory>

#include "uicore/HcColorSliderCore.h"
#include "wnatom/ControlBitmap.h"
#include "wnatom/WnAtoms.h"
#include "wnatom/WnGdi.h"

enum ColorSliderMode : uint8_t {
    kColorSliderWide = 6,    // a 130 x 15 swatch under the bars, when no large swatch is set
    kColorSliderSquare = 7,  // a 60 x 60 swatch right of the values
};

constexpr int kColorSliderBitmapLeftArrow = 9100;
constexpr int kColorSliderBitmapRightArrow = 9101;
constexpr int kColorSliderBitmapThumb = 9102;
constexpr int kColorSliderBitmapThumbEraser = 9103;

// The dialog routes its mouse, timer and paint messages here. Positions are given at 96 DPI and drawn at the
// dialog's DPI; mouse points arrive in the dialog's pixels.
class ColorSlider2 {
public:
    // Out of memory for any bitmap or sprite raises kCvErrNoMemory. The control starts black and disabled.
    ColorSlider2(HINSTANCE module, HWND dialog, int barHeight, ColorSliderMode mode);

    void SetEnabled(bool enabled, bool reset);
    bool Enabled() const { return core.Enabled(); }
    void SetPosition(int left, int top, int rowStep = kSliderRowStep);
    // A large swatch, framed and filled with the colour.
    void SetSwatch(int x, int y, int width, int height);

    // Each returns whether the value changed; a change is drawn at once.
    bool SetRed(uint8_t value) { return SetChannel(HcSliderChannel::red, value); }
    bool SetGreen(uint8_t value) { return SetChannel(HcSliderChannel::green, value); }
    bool SetBlue(uint8_t value) { return SetChannel(HcSliderChannel::blue, value); }
    void SetColor(HcRgb rgb);  // blue, green, then red
    uint8_t GetRed() const { return core.Color().red; }
    uint8_t GetGreen() const { return core.Color().green; }
    uint8_t GetBlue() const { return core.Color().blue; }
    HcRgb GetColor() const { return core.Color(); }
    const HcColorSliderCore& Core() const { return core; }

    void Draw();

    // Each returns whether the colour changed.
    bool OnMouseDown(POINT point);
    bool OnMouseMove(POINT point);
    bool OnMouseUp();
    bool OnTimer(UINT_PTR timerId);
    // For WM_CAPTURECHANGED: a drag or repeat whose capture was taken away ends, so no release goes unseen.
    void OnCaptureChanged(HWND newOwner);

private:
    bool SetChannel(HcSliderChannel channel, uint8_t value);
    bool Apply(const HcSliderResponse& response);
    void EndInteraction();
    HcPoint ToBase(POINT point) const { return {scale.ToBase(point.x), scale.ToBase(point.y)}; }

    void ShowChange(HcSliderChannel channel, uint8_t previousValue);
    void DrawBar(HcSliderChannel channel);
    void DrawThumb(HcSliderChannel channel, bool erase, uint8_t value);
    void DrawValueTexts(HcSliderChannel channel);
    void DrawStaticTexts();
    void DrawSwatches();
    void DrawText(HcPoint at, int width, const std::string& text);

    HcColorSliderCore core;
    ColorSliderMode mode;
    HWND dialog;
    WnDpiScale scale;
    ControlBitmap bars[3];
    ControlBitmap swatch;
    WnSBRBAtom thumb, thumbEraser, leftArrow, rightArrow;
    std::unique_ptr<ControlBitmap> largeSwatch;
    HcPixelRect largeSwatchRect{};
    WnMouseCapture capture;
    WnTimer repeatTimer;
};
