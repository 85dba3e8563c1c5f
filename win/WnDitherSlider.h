// The eleven-stop dithering slider drawn on a dialog between controls 1052 and 1053, with its label 1024.
// The parent hears of a new value once per drag, and only when the drag ended on another stop.
#pragma once

#include <windows.h>

#include "uicore/HcDitherTrack.h"
#include "wnatom/WnDpi.h"
#include "wnatom/WnGdi.h"

// The window routes its mouse and paint messages here. The track's ends come from the two controls (window
// pixels); its heights are given at 96 DPI and drawn at the window's DPI.
class WnDitherSlider {
public:
    // A pen that cannot be made raises kCvErrNoMemory.
    WnDitherSlider(HWND window, uint8_t value);

    uint8_t Value() const { return track.Value(); }
    const HcDitherTrack& Track() const { return track; }
    void Draw();

    void OnMouseDown(POINT point);
    void OnMouseMove(POINT point);
    // Posts command 45099 with parameter 45100 to the parent when the value differs from the drag's start.
    void OnMouseUp(POINT point);
    // Another window took the mouse (an alert, a switch to another program): the drag ends where the thumb is,
    // told as a release there would be.
    void OnCaptureChanged(HWND newOwner);
    // Ends a drag without telling the parent: the dialog is closing.
    void CancelDrag();

private:
    void DrawTrack(HDC dc) const;
    void DrawThumb(HDC dc, const HcDitherThumb& thumb, HPEN pen, HBRUSH brush) const;
    void ShowLabel() const;
    void EndDrag(bool tell);

    HWND window;
    HcDitherTrack track;
    WnDpiScale scale;
    WnPen facePen;
    WnBrush faceBrush;
    WnMouseCapture capture;
};
