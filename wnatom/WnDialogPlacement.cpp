// Where a dialog window opens on the screen, and the rectangle it is saved with when it closes.
// A placed dialog's top-left corner always lies on the screen.
#include "wnatom/WnDialogPlacement.h"

#include "uicore/HcDialogPlacement.h"

void WnPlaceDialog(HWND dialog, const HcDialogRect& saved) {
    const HcDialogRect current = WnDialogRectOf(dialog);
    const HcDialogRect placed =
        PlaceDialog(saved, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), current.width, current.height);
    SetWindowPos(dialog, nullptr, placed.left, placed.top, placed.width, placed.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HcDialogRect WnDialogRectOf(HWND dialog) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    return {frame.left, frame.top, frame.bottom - frame.top, frame.right - frame.left};
}
