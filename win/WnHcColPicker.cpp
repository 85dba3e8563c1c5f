// The colour-picker dialog: the slider block with a swatch of the new colour beside one of the starting colour.
// The caller's colour changes only when the user confirms.
#include "win/WnHcColPicker.h"

#include <cstdio>

#include "win/resource_ids.h"
#include "wnatom/WnText.h"

namespace {

// At 96 DPI; the slider scales them to the dialog's.
constexpr int kBarHeight = 11;
constexpr int kPickerSliderLeft = 45, kPickerSliderTop = 110, kPickerRowStep = 25;
constexpr int kSwatchTop = 38, kSwatchWidth = 120, kSwatchHeight = 40;
constexpr int kOriginalLeft = 15, kChosenLeft = 150;

}  // namespace

bool WnHcColPicker::Pick(HWND owner, HcRgb& rgb) {
    if (Run(module, IDD_COLOR_PICKER, owner) != IDOK) return false;
    rgb = chosen;
    return true;
}

void WnHcColPicker::OnInit() {
    slider = std::make_unique<ColorSlider2>(module, Window(), kBarHeight, kColorSliderWide);
    slider->SetPosition(kPickerSliderLeft, kPickerSliderTop, kPickerRowStep);
    slider->SetSwatch(kChosenLeft, kSwatchTop, kSwatchWidth, kSwatchHeight);
    slider->SetEnabled(true, true);
    slider->SetColor(start);
    original.Create(Window(), kSwatchWidth, kSwatchHeight, true);
    original.DrawFrame();
    original.FillInside(start.red, start.green, start.blue);
    char text[64];
    std::snprintf(text, sizeof text, "ORIGINAL: %d, %d, %d ", start.red, start.green, start.blue);
    SetDlgItemTextW(Window(), IDC_PICKER_ORIGINAL, WnWiden(text).c_str());
}

bool WnHcColPicker::OnCommand(int id, int notification) {
    if (id == IDOK) chosen = slider->GetColor();
    return WnModalDialog::OnCommand(id, notification);
}

bool WnHcColPicker::OnPaint() {
    { WnPaintDC paint(Window()); }  // validates; the pieces draw through their own contexts
    slider->Draw();
    DrawOriginal();
    return true;
}

void WnHcColPicker::DrawOriginal() const {
    WnDrawScaled(original, WnDpiScale::Of(Window()), kOriginalLeft, kSwatchTop, kSwatchWidth, kSwatchHeight);
}

bool PickColor(HWND owner, HINSTANCE module, uint8_t& r, uint8_t& g, uint8_t& b) {
    WnHcColPicker picker(module, {r, g, b});
    HcRgb rgb{};
    if (!picker.Pick(owner, rgb)) return false;
    r = rgb.red;
    g = rgb.green;
    b = rgb.blue;
    return true;
}
