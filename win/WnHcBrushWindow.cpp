// Mouse handling of the options dialog's pane. The mask edits themselves are portable (HcMaskEdit); this file maps
// tools, modifier keys and the capture onto them and keeps the preview pixels in step with the mask.
#include "win/WnHcBrushWindow.h"

#include "cvcode2/CvGIFFrame.h"
#include "win/HcCursors.h"
#include "win/WnHcPreview.h"
#include "win/resource_ids.h"

namespace {

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

// The primary button as the user has set it up: the right one when the buttons are swapped.
bool PrimaryButtonDown() {
    return KeyDown(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON);
}

}  // namespace

WnHcBrushWindow::WnHcBrushWindow(HWND window, CvGIFFrame* frame) : WnImagePreview(window, frame) {
    OnViewChanged(false);
}

WnHcBrushWindow::~WnHcBrushWindow() = default;

CvGIFFrame& WnHcBrushWindow::Frame() const {
    return *static_cast<CvGIFFrame*>(Image());
}

void WnHcBrushWindow::OnMouseDown(HcPoint point) {
    lastPoint = point;
    if (!Image()) return;
    switch (tool) {
        case kPicker: Pick(point); break;
        case kPencil:
        case kEdgeBrush: StartStroke(point); break;
        default:
            if (Layout().CentredBothWays()) return;
            grabbing = panning = true;
            ShowPaneCursor();
            SetCapture(Window());
            break;
    }
}

void WnHcBrushWindow::Pick(HcPoint point) {
    HcPoint pixel;
    if (!ViewToImage(point, pixel)) return;
    const HcPickMode mode = HcPickModeFor(KeyDown(VK_SHIFT), KeyDown(VK_CONTROL));
    const int index = HcPickIndex(Frame(), pixel, mode);
    if (index >= 0 && onPick) onPick(uint8_t(index), mode);
    NotifyMaskEdited();
    Render();
    Paint();
}

void WnHcBrushWindow::StartStroke(HcPoint point) {
    SetCapture(Window());
    HcPoint start;
    ViewToImage(point, start);
    stroke = std::make_unique<HcMaskStroke>(
        Frame(), tool == kEdgeBrush ? HcMaskStroke::Brush::EdgeBrush : HcMaskStroke::Brush::Pencil, start);
    ContinueStroke(point);
}

void WnHcBrushWindow::ContinueStroke(HcPoint point) {
    HcPoint pixel;
    ViewToImage(point, pixel);
    const HcMaskChange change = stroke->LineTo(pixel, KeyDown(VK_CONTROL));
    if (change.Empty()) return;
    HcShowMaskPixels(Frame(), change.pixels, Raster().Full());
    Redraw(change.bounds.left, change.bounds.top, change.bounds.right, change.bounds.bottom);
}

void WnHcBrushWindow::OnMouseMove(HcPoint point) {
    if (stroke) {
        ContinueStroke(point);
        if (!InsideView(point) && !autoScroll.Running())
            autoScroll.Start(Window(), kAutoScrollTimer, HcPreviewLayout::kAutoScrollMilliseconds);
    } else if (panning) {
        PanBy(point.x - lastPoint.x, point.y - lastPoint.y, true);
    }
    lastPoint = point;
    ShowPaneCursor();
}

void WnHcBrushWindow::OnMouseUp(HcPoint point) {
    if (panning)
        PanBy(point.x - lastPoint.x, point.y - lastPoint.y, true);
    else if (stroke)
        ContinueStroke(point);
    lastPoint = point;
    EndStroke();
    grabbing = panning = false;
    ShowPaneCursor();
    if (GetCapture() == Window()) ReleaseCapture();
}

bool WnHcBrushWindow::EndStroke() {
    autoScroll.Stop();
    if (!stroke) return false;
    stroke.reset();
    NotifyMaskEdited();
    return true;
}

// The pointer is held outside the pane during a stroke: every tick scrolls a step toward it and paints under it,
// until the pointer comes back or the button is released.
void WnHcBrushWindow::OnAutoScroll() {
    if (!stroke || InsideView(lastPoint)) return autoScroll.Stop();
    AutoScroll(lastPoint);
    OnMouseMove(lastPoint);
    if (!PrimaryButtonDown()) OnMouseUp(lastPoint);
}

bool WnHcBrushWindow::OnOtherMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_TIMER || wParam != kAutoScrollTimer) return false;
    OnAutoScroll();
    return true;
}

void WnHcBrushWindow::OnCaptureLost() {
    // Another window took the mouse in the middle of a stroke: the stroke ends where it is.
    if (GetCapture() == Window()) return;
    EndStroke();
    grabbing = panning = false;
}

void WnHcBrushWindow::OnViewChanged(bool) {
    HcShowZoomState(Window(), Layout());
    if (stroke && GetCapture() != Window()) SetCapture(Window());
}

bool WnHcBrushWindow::ShowPaneCursor() {
    static constexpr int kToolCursors[] = {kHcCursorPencil, kHcCursorPicker, kHcCursorEdgeBrush, kHcCursorOpenHand};
    const int index = grabbing ? kHcCursorClosedHand : tool >= 0 && tool <= kHand ? kToolCursors[tool] : 0;
    HcCursors::ShowCurrent(index);
    return true;
}

void WnHcBrushWindow::NotifyMaskEdited() const {
    SendMessageW(GetParent(Window()), WM_COMMAND, MAKEWPARAM(IDM_MASK_EDITED, 0), reinterpret_cast<LPARAM>(Window()));
}

bool WnHcBrushWindow::InsideView(HcPoint point) const {
    return point.x >= 0 && point.y >= 0 && point.x < Layout().ViewWidth() && point.y < Layout().ViewHeight();
}
