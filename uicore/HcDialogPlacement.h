// Where a dialog opens on the screen, and pixel sizes designed for 96 DPI scaled to the screen's DPI.
// A placed dialog's top-left corner always lies on the screen.
#pragma once

#include <cstdint>

#include "common/HcGlobals.h"
#include "uicore/HcUiTypes.h"

// A placement the preferences keep for a dialog: one of positive width and height (an all-zero one is none).
bool IsStoredPlacement(const HcDialogRect& saved);
// A stored placement: its size, its corner clamped to 0..4/5 of the screen.
HcDialogRect PlaceStoredDialog(const HcDialogRect& saved, int32_t screenWidth, int32_t screenHeight);

// What a dialog opening without a stored placement looks at, in screen pixels.
struct HcOpeningRoom {
    HcPixelRect workArea;  // of the display the host window is on
    HcPixelRect host;      // the host window; empty when there is none
};
// The dialog as its template made it: its window size and its square preview panes, `panesAcross` of them side by
// side, each of which takes the extra height and an equal share of the extra width.
struct HcDialogShape {
    int32_t width, height, paneSide, panesAcross;
};
// The first opening: grown, as far as the work area has room, until each pane's side is a third of the work area's
// height (never shrunk); centred on the host window (on the work area without one) and kept inside the work area,
// its top-left corner first.
HcDialogRect FirstPlacement(const HcOpeningRoom& room, const HcDialogShape& dialog);

// pixels x dpi / 96, rounded to nearest (halves away from zero); an unknown DPI (0 or less) counts as 96.
int32_t ScaleForDpi(int32_t pixelsAt96, int32_t dpi);
