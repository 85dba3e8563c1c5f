// The eleven-stop dithering slider drawn on a dialog between controls 1052 and 1053, with its label 1024.
// The parent hears of a new value once per drag, and only when the drag ended on another stop.
#include "win/WnDitherSlider.h"

#include "cvcode2/CvErrorCode.h"
#include "wnatom/WnDialogSizer.h"
#include "wnatom/WnText.h"

namespace {

HcDitherTrack TrackBetweenControls(HWND window, uint8_t value) {
    const RECT before = WnControlRect(window, kDitherLeftControl), after = WnControlRect(window, kDitherRightControl);
    return HcDitherTrack(before.right, after.left, value);
}

HPEN BlackPen() {
    return static_cast<HPEN>(GetStockObject(BLACK_PEN));
}

HBRUSH BlackBrush() {
    return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

}  // namespace

WnDitherSlider::WnDitherSlider(HWND window, uint8_t value)
    : window(window),
      track(TrackBetweenControls(window, value)),
      scale(WnDpiScale::Of(window)),
      facePen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE))),
      faceBrush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))) {
    if (!facePen.Get() || !faceBrush.Get()) CV_THROW(kCvErrNoMemory);
}

void WnDitherSlider::Draw() {
    WnWindowDC dc(window);
    if (!dc.Get()) return;
    DrawTrack(dc.Get());
    DrawThumb(dc.Get(), track.Thumb(), BlackPen(), BlackBrush());
    ShowLabel();
}

void WnDitherSlider::OnMouseDown(POINT point) {
    // The thumb is hit-tested at 96 DPI around its tip, whose x is already in window pixels.
    const int tipX = track.TipX();
    if (track.Press({tipX + scale.ToBase(point.x - tipX), scale.ToBase(point.y)})) capture.Capture(window);
}

void WnDitherSlider::OnMouseMove(POINT point) {
    if (!track.Dragging()) return;
    WnWindowDC dc(window);
    const HcDitherThumb old = track.Thumb();
    if (!track.Move({point.x, point.y}) || !dc.Get()) return;
    // Erase the old thumb with the face colour, then draw the track it covered and the new thumb.
    DrawThumb(dc.Get(), old, facePen.Get(), faceBrush.Get());
    DrawTrack(dc.Get());
    DrawThumb(dc.Get(), track.Thumb(), BlackPen(), BlackBrush());
    ShowLabel();
}

void WnDitherSlider::OnMouseUp(POINT point) {
    if (!track.Dragging()) return;
    OnMouseMove(point);
    EndDrag(true);
}

void WnDitherSlider::OnCaptureChanged(HWND newOwner) {
    if (track.Dragging() && newOwner != window) EndDrag(true);
}

void WnDitherSlider::CancelDrag() {
    EndDrag(false);
}

void WnDitherSlider::EndDrag(bool tell) {
    // The drag is over before the capture goes: giving it up sends WM_CAPTURECHANGED back here.
    const bool changed = track.Release();
    capture.Release();
    if (!changed || !tell) return;
    HWND parent = GetParent(window);
    PostMessageW(parent ? parent : window, WM_COMMAND, kCommandSettingChanged, kSettingDither);
}

void WnDitherSlider::DrawTrack(HDC dc) const {
    WnSelectObject pen(dc, BlackPen());
    const int trackY = scale(kDitherTrackY);
    MoveToEx(dc, track.X0(), trackY, nullptr);
    LineTo(dc, track.TrackRight() + 1, trackY);
    for (int stop = 0; stop < kDitherStops; ++stop) {
        const HcDitherTick tick = track.Tick(stop);
        MoveToEx(dc, tick.x, scale(tick.top), nullptr);
        LineTo(dc, tick.x, scale(tick.bottom) + 1);
    }
}

void WnDitherSlider::DrawThumb(HDC dc, const HcDitherThumb& thumb, HPEN pen, HBRUSH brush) const {
    const POINT corners[3] = {{thumb.tip.x, scale(thumb.tip.y)},
                              {thumb.tip.x - scale(kDitherThumbHalfWidth), scale(thumb.baseLeft.y)},
                              {thumb.tip.x + scale(kDitherThumbHalfWidth), scale(thumb.baseRight.y)}};
    WnSelectObject penSelection(dc, pen), brushSelection(dc, brush);
    Polygon(dc, corners, 3);
}

void WnDitherSlider::ShowLabel() const {
    SetDlgItemTextW(window, kDitherLabelControl, WnWiden(DitherLabelText(track.Value())).c_str());
}
