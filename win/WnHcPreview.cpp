// Dragging either pane of the pair moves both by the same amount, so the source and the reduced image always show
// the same part; each pane keeps its origin within its own limits.
#include "win/WnHcPreview.h"

#include "win/HcCursors.h"
#include "win/resource_ids.h"

namespace {

WnHcPreview* slots[2] = {nullptr, nullptr};

}  // namespace

void HcShowZoomState(HWND pane, const HcPreviewLayout& layout) {
    HWND dialog = GetParent(pane);
    if (!dialog) return;
    if (HWND in = GetDlgItem(dialog, IDC_ZOOM_IN)) EnableWindow(in, layout.CanZoomIn());
    if (HWND out = GetDlgItem(dialog, IDC_ZOOM_OUT)) EnableWindow(out, layout.CanZoomOut());
    SetDlgItemTextA(dialog, IDC_ZOOM_LABEL, layout.Zoom().Label().c_str());
}

WnHcPreview::WnHcPreview(HWND window, CvImage* image, bool first) : WnImagePreview(window, image) {
    if (first) {
        slots[0] = this;
        slots[1] = nullptr;
    } else {
        slots[1] = this;
    }
    OnViewChanged(false);
}

WnHcPreview::~WnHcPreview() {
    for (WnHcPreview*& slot : slots)
        if (slot == this) slot = nullptr;
}

WnHcPreview* WnHcPreview::Partner() const {
    if (slots[0] == this) return slots[1];
    if (slots[1] == this) return slots[0];
    return nullptr;
}

void WnHcPreview::OnMouseDown(HcPoint point) {
    lastPoint = point;
    if (Layout().CentredBothWays()) return;
    grabbing = true;
    HcCursors::ShowCurrent(kHcCursorClosedHand);
    dragging = true;
    SetCapture(Window());
}

void WnHcPreview::OnMouseMove(HcPoint point) {
    if (dragging) DragTo(point);
    lastPoint = point;
    ShowPaneCursor();
}

void WnHcPreview::OnMouseUp(HcPoint point) {
    if (dragging) DragTo(point);
    lastPoint = point;
    dragging = false;
    if (GetCapture() == Window()) {
        grabbing = false;
        ShowPaneCursor();
        ReleaseCapture();
    }
}

void WnHcPreview::DragTo(HcPoint point) {
    PanBy(point.x - lastPoint.x, point.y - lastPoint.y, false);
    Paint();
    if (WnHcPreview* partner = Partner()) {
        partner->ScrollTo(Layout().Origin(), false);
        partner->Paint();
    }
}

void WnHcPreview::OnCaptureLost() {
    grabbing = false;
    dragging = false;
}

bool WnHcPreview::ShowPaneCursor() {
    HcCursors::ShowCurrent(grabbing ? kHcCursorClosedHand : kHcCursorOpenHand);
    return true;
}

void WnHcPreview::OnViewChanged(bool) {
    HcShowZoomState(Window(), Layout());
}

bool WnHcPreview::OnWheel(int delta, WPARAM keys, HcPoint pointer) {
    if (!WnImagePreview::OnWheel(delta, keys, pointer)) return false;
    if (WnHcPreview* partner = Partner()) partner->ShowSameView(*this);
    return true;
}
