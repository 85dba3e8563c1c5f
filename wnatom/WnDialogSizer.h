// Moves a resizable dialog's controls when its size changes, and keeps it from getting smaller than it opened.
// Controls keep their size and z-order; custom items are placed by the subclass.
#pragma once

#include <windows.h>

#include "uicore/HcSizerLayout.h"

class WnDialogSizer : protected HcSizerLayout {
public:
    // Records the dialog's client size as its minimum.
    void Attach(HWND dialog);
    // Records the control's rectangle in client coordinates; control id 0 only with kSizerCustom.
    void AddItem(int controlId, uint32_t flags, intptr_t value1 = 0, intptr_t value2 = 0);
    // For WM_SIZE: a client area below the minimum grows the window by the shortfall (its own WM_SIZE then
    // places the items); otherwise the items move and the dialog is invalidated without erasing.
    void OnSize();

    HWND Dialog() const { return dialog; }
    using HcSizerLayout::Items;
    using HcSizerLayout::MinHeight;
    using HcSizerLayout::MinWidth;

protected:
    void PlaceCustom(const HcSizerItem& item, int32_t clientWidth, int32_t clientHeight) override = 0;

private:
    HWND dialog = nullptr;
};

// A child control's rectangle in its parent's client coordinates (empty when there is no such control).
RECT WnControlRect(HWND parent, int controlId);

// Marks a piece the dialog draws itself for repainting on an erased background: where it stood before a move, or
// where it stands now.
void WnInvalidateErasing(HWND dialog, const HcPixelRect& rect);
