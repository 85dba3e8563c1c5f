// The R, G, B slider block drawn on a dialog: three gradient bars with thumbs and arrows, the values in decimal
// and hexadecimal, and colour swatches. What it shows always follows the colour its logic holds.
#include "wnatom/ColorSlider2.h"

#include <algorithm>

namespace {

constexpr HcSliderChannel kChannels[] = {HcSliderChannel::red, HcSliderChannel::green, HcSliderChannel::blue};
constexpr int kWideSwatchHeight = 15;
constexpr int kSquareSwatchSide = 60;
constexpr int kSquareSwatchOffset = 240;  // right of the hexadecimal column
constexpr int kTextHeight = 14;
constexpr int kDecimalTextWidth = 45;
constexpr int kHexTextWidth = 24;
constexpr int kLabelWidth = 20;

// Black 1-pixel frame around a filled inside.
void FillFramed(ControlBitmap& picture, HcRgb rgb) {
    picture.Fill(0, 0, 0);
    picture.FillRect(1, 1, picture.Width() - 1, picture.Height() - 1, rgb.red, rgb.green, rgb.blue);
}

}  // namespace

ColorSlider2::ColorSlider2(HINSTANCE module, HWND dialog, int barHeight, ColorSliderMode mode)
    : core(std::max(barHeight, 4)),
      mode(mode),
      dialog(dialog),
      scale(WnDpiScale::Of(dialog)),
      thumb(module, dialog, kColorSliderBitmapThumb),
      thumbEraser(module, dialog, kColorSliderBitmapThumbEraser),
      leftArrow(module, dialog, kColorSliderBitmapLeftArrow),
      rightArrow(module, dialog, kColorSliderBitmapRightArrow) {
    for (ControlBitmap& bar : bars) {
        bar.Create(dialog, kSliderBarWidth, core.BarHeight(), true);
        bar.Fill(0, 0, 0);
    }
    if (mode == kColorSliderSquare)
        swatch.Create(dialog, kSquareSwatchSide, kSquareSwatchSide, true);
    else
        swatch.Create(dialog, kSliderBarWidth, kWideSwatchHeight, true);
    swatch.Fill(0, 0, 0);
    // Arrows are as high as the bars, whatever height their sprites were drawn at.
    leftArrow.Resize(kSliderArrowWidth, core.BarHeight());
    rightArrow.Resize(kSliderArrowWidth, core.BarHeight());
}

void ColorSlider2::SetEnabled(bool enabled, bool reset) {
    if (!core.SetEnabled(enabled, reset)) return;
    if (!enabled) EndInteraction();
    Draw();
}

void ColorSlider2::SetPosition(int left, int top, int rowStep) {
    core.SetPosition(left, top, rowStep);
}

void ColorSlider2::SetSwatch(int x, int y, int width, int height) {
    auto picture = std::make_unique<ControlBitmap>();
    picture->Create(dialog, width, height, true);
    largeSwatch = std::move(picture);
    largeSwatchRect = HcPixelRect::At(x, y, width, height);
    DrawSwatches();
}

void ColorSlider2::SetColor(HcRgb rgb) {
    SetBlue(rgb.blue);
    SetGreen(rgb.green);
    SetRed(rgb.red);
}

bool ColorSlider2::SetChannel(HcSliderChannel channel, uint8_t value) {
    const uint8_t previous = core.Channel(channel);
    if (!core.SetChannel(channel, value)) return false;
    ShowChange(channel, previous);
    return true;
}

void ColorSlider2::Draw() {
    DrawStaticTexts();
    for (HcSliderChannel channel : kChannels) {
        DrawBar(channel);
        DrawThumb(channel, !core.Enabled(), core.Channel(channel));
        DrawValueTexts(channel);
        leftArrow.MoveTo(core.LeftArrowRect(channel).left, core.RowY(channel));
        leftArrow.Draw();
        rightArrow.MoveTo(core.RightArrowRect(channel).left, core.RowY(channel));
        rightArrow.Draw();
    }
    DrawSwatches();
}

bool ColorSlider2::OnMouseDown(POINT point) {
    const HcSliderResponse response = core.MouseDown(ToBase(point));
    if (response.startRepeat) repeatTimer.Start(dialog, kSliderRepeatTimerId, kSliderRepeatMilliseconds);
    if (response.startRepeat || core.DragChannel() != HcSliderChannel::none) capture.Capture(dialog);
    return Apply(response);
}

bool ColorSlider2::OnMouseMove(POINT point) {
    return Apply(core.MouseMove(ToBase(point)));
}

bool ColorSlider2::OnMouseUp() {
    return Apply(core.MouseUp());
}

bool ColorSlider2::OnTimer(UINT_PTR timerId) {
    return timerId == kSliderRepeatTimerId && Apply(core.RepeatTick());
}

void ColorSlider2::OnCaptureChanged(HWND newOwner) {
    if (newOwner != dialog) EndInteraction();
}

bool ColorSlider2::Apply(const HcSliderResponse& response) {
    if (response.endInteraction) EndInteraction();
    if (response.changed == HcSliderChannel::none) return false;
    ShowChange(response.changed, response.previousValue);
    return true;
}

void ColorSlider2::EndInteraction() {
    core.MouseUp();
    repeatTimer.Stop();
    capture.Release();
}

void ColorSlider2::ShowChange(HcSliderChannel channel, uint8_t previousValue) {
    if (core.Enabled()) {
        DrawThumb(channel, true, previousValue);
        DrawThumb(channel, false, core.Channel(channel));
    }
    DrawValueTexts(channel);
    // The other bars run through this channel's new value.
    for (HcSliderChannel other : kChannels)
        if (other != channel) DrawBar(other);
    DrawSwatches();
}

void ColorSlider2::DrawBar(HcSliderChannel channel) {
    ControlBitmap& bar = bars[int(channel)];
    bar.Fill(0, 0, 0);
    for (int column = 0; column < kSliderGradientColumns; ++column) {
        const HcRgb rgb = core.GradientColor(channel, column);
        bar.FillRect(1 + column, 1, 2 + column, bar.Height() - 1, rgb.red, rgb.green, rgb.blue);
    }
    const HcPixelRect rect = core.BarRect(channel);
    WnDrawScaled(bar, scale, rect.left, rect.top, rect.Width(), rect.Height());
}

void ColorSlider2::DrawThumb(HcSliderChannel channel, bool erase, uint8_t value) {
    WnSBRBAtom& sprite = erase ? thumbEraser : thumb;
    sprite.MoveTo(core.Left() + HcColorSliderCore::ThumbOffset(value), core.RowY(channel) + core.BarHeight());
    sprite.Draw();
}

void ColorSlider2::DrawValueTexts(HcSliderChannel channel) {
    const uint8_t value = core.Channel(channel);
    DrawText(core.DecimalOrigin(channel), kDecimalTextWidth, SliderDecimalText(value));
    DrawText(core.HexOrigin(channel), kHexTextWidth, SliderHexText(value));
}

void ColorSlider2::DrawStaticTexts() {
    for (HcSliderChannel channel : kChannels)
        DrawText(core.LabelOrigin(channel), kLabelWidth, kSliderRowLabels[int(channel)]);
    DrawText(core.DecimalHeaderOrigin(), kDecimalTextWidth, kSliderDecimalHeader);
    DrawText(core.HexHeaderOrigin(), kHexTextWidth, kSliderHexHeader);
}

void ColorSlider2::DrawSwatches() {
    const HcRgb rgb = core.Color();
    if (largeSwatch) {
        largeSwatch->DrawFrame();
        largeSwatch->FillInside(rgb.red, rgb.green, rgb.blue);
        WnDrawScaled(*largeSwatch, scale, largeSwatchRect.left, largeSwatchRect.top, largeSwatchRect.Width(),
                     largeSwatchRect.Height());
    }
    if (mode == kColorSliderSquare) {
        FillFramed(swatch, rgb);
        WnDrawScaled(swatch, scale, core.Left() + kSquareSwatchOffset, core.RowY(HcSliderChannel::red), swatch.Width(),
                     swatch.Height());
    } else if (!largeSwatch) {
        FillFramed(swatch, rgb);
        const int y = core.RowY(HcSliderChannel::blue) + core.BarHeight() + kSliderThumbHeight + 4;
        WnDrawScaled(swatch, scale, core.Left(), y, swatch.Width(), swatch.Height());
    }
}

void ColorSlider2::DrawText(HcPoint at, int width, const std::string& text) {
    WnSTBAtom(dialog, at.x, at.y, width, kTextHeight, WnButtonFace(), text).Draw();
}
