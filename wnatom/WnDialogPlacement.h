// Where a dialog window opens on the screen, and the rectangle it is saved with when it closes.
// A placed dialog's top-left corner always lies on the screen.
#pragma once

#include <windows.h>

#include "common/HcGlobals.h"

// With a stored rectangle (positive size): moved there, clamped to 0..4/5 of the screen, and given its size.
// Without one: grown for the first opening as the work area of the host's display allows, so that each of its
// `panesAcross` panes of side `paneSide` takes a third of the work area's height, and centred on `host`.
void WnOpenDialog(HWND dialog, const HcDialogRect& saved, HWND host, int paneSide, int panesAcross);
// The window's rectangle on the screen as the preferences keep it: left, top, height, width.
HcDialogRect WnDialogRectOf(HWND dialog);
