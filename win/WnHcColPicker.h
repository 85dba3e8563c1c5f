// The colour-picker dialog: the slider block with a swatch of the new colour beside one of the starting colour.
// The caller's colour changes only when the user confirms.
#pragma once

#include <windows.h>

#include <memory>

#include "wnatom/ColorSlider2.h"
#include "wnatom/WnModalDialog.h"

class WnHcColPicker : public WnModalDialog {
public:
    WnHcColPicker(HINSTANCE module, HcRgb start) : module(module), start(start) {}

    // Shows the dialog; true when confirmed, with `rgb` set to the chosen colour.
    bool Pick(HWND owner, HcRgb& rgb);
    // The slider, from the dialog's opening on (null before).
    ColorSlider2* Slider() const { return slider.get(); }

protected:
    void OnInit() override;
    bool OnCommand(int id, int notification) override;
    bool OnPaint() override;
    void OnMouseDown(POINT point) override { slider->OnMouseDown(point); }
    void OnMouseMove(POINT point) override { slider->OnMouseMove(point); }
    void OnMouseUp(POINT) override { slider->OnMouseUp(); }
    void OnTimer(UINT_PTR timerId) override { slider->OnTimer(timerId); }
    void OnCaptureChanged(HWND newOwner) override { slider->OnCaptureChanged(newOwner); }

private:
    void DrawOriginal() const;

    HINSTANCE module;
    HcRgb start;
    HcRgb chosen{};
    std::unique_ptr<ColorSlider2> slider;
    ControlBitmap original;
};

// Opens the picker on (r, g, b) over `owner`; true when confirmed, with the colour copied back.
bool PickColor(HWND owner, HINSTANCE module, uint8_t& r, uint8_t& g, uint8_t& b);
