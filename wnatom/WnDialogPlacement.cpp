// Where a dialog window opens on the screen, and the rectangle it is saved with when it closes.
// A placed dialog's top-left corner always lies on the screen.
#include "wnatom/WnDialogPlacement.h"

#include "uicore/HcDialogPlacement.h"

namespace {

HcPixelRect PixelRectOf(const RECT& rect) {
    return {rect.left, rect.top, rect.bottom, rect.right};
}

}  // namespace

void WnOpenDialog(HWND dialog, const HcDialogRect& saved, HWND host, int paneSide, int panesAcross) {
    const HcDialogRect current = WnDialogRectOf(dialog);
    HcDialogRect placed{};
    if (IsStoredPlacement(saved)) {
        placed = PlaceStoredDialog(saved, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (GetMonitorInfoW(MonitorFromWindow(host ? host : dialog, MONITOR_DEFAULTTONEAREST), &monitor))
            work = monitor.rcWork;
        RECT hostRect{};
        if (!host || !GetWindowRect(host, &hostRect)) hostRect = RECT{};
        placed = FirstPlacement({PixelRectOf(work), PixelRectOf(hostRect)},
                                {current.width, current.height, paneSide, panesAcross});
    }
    SetWindowPos(dialog, nullptr, placed.left, placed.top, placed.width, placed.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HcDialogRect WnDialogRectOf(HWND dialog) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    return {frame.left, frame.top, frame.bottom - frame.top, frame.right - frame.left};
}
