// Where a dialog opens on the screen, and pixel sizes designed for 96 DPI scaled to the screen's DPI.
// A placed dialog's top-left corner always lies on the screen.
#pragma once

#include <cstdint>

#include "common/HcGlobals.h"

// With a saved rectangle of positive width and height: its size, its corner clamped to 0..4/5 of the screen.
// Otherwise (an all-zero rectangle, or a size that cannot be): the dialog's own size, centred horizontally, its
// top at 2/5 of the room left below it, never left of or above the screen.
HcDialogRect PlaceDialog(const HcDialogRect& saved, int32_t screenWidth, int32_t screenHeight, int32_t dialogWidth,
                         int32_t dialogHeight);

// pixels x dpi / 96, rounded to nearest (halves away from zero); an unknown DPI (0 or less) counts as 96.
int32_t ScaleForDpi(int32_t pixelsAt96, int32_t dpi);
