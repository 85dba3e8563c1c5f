// Where a dialog window opens on the screen, and the rectangle it is saved with when it closes.
// A placed dialog's top-left corner always lies on the screen.
#pragma once

#include <windows.h>

#include "common/HcGlobals.h"

// With a saved rectangle (not all zero): moved there, clamped to 0..4/5 of the screen, and given its size.
// Without one: its own size, centred horizontally, its top at 2/5 of the room left below it.
void WnPlaceDialog(HWND dialog, const HcDialogRect& saved);
// The window's rectangle on the screen as the preferences keep it: left, top, height, width.
HcDialogRect WnDialogRectOf(HWND dialog);
