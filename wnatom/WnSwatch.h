// A framed square of one colour drawn on a dialog, beside a palette strip: it shows the entry the user clicked.
// Its picture always holds the colour last set; moving it only changes where it is copied to.
#pragma once

#include <windows.h>

#include "uicore/HcUiTypes.h"
#include "wnatom/ControlBitmap.h"

class WnSwatch {
public:
    // Position and size in the dialog's pixels. Out of memory for the picture raises kCvErrNoMemory.
    WnSwatch(HWND dialog, int left, int top, int size);

    void SetColor(HcRgb rgb);
    void MoveTo(int newLeft, int newTop);
    HcPixelRect Rect() const { return HcPixelRect::At(left, top, picture.Width(), picture.Height()); }
    // Shows the colour and its frame again at the swatch's place.
    void Draw() const;

private:
    ControlBitmap picture;
    int left, top;
};
