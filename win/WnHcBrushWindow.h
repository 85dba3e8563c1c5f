// The options dialog's pane: the frame with its transparent pixels in the background colour, and the tools that
// edit its transparency (picker, pencil, edge brush) or move the view (hand). A stroke holds the mouse capture
// from button down to button up, and the dialog hears of every finished edit through command 45199.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "uicore/HcMaskEdit.h"
#include "wnatom/WnGdi.h"
#include "wnatom/WnImagePreview.h"

class CvGIFFrame;

class WnHcBrushWindow : public WnImagePreview {
public:
    enum Tool : int { kPencil = 0, kPicker = 1, kEdgeBrush = 2, kHand = 3 };
    // While a stroke holds the pointer outside the pane, this timer scrolls toward it step by step.
    static constexpr UINT_PTR kAutoScrollTimer = 42735;

    // The frame stays the caller's and must outlive the pane.
    WnHcBrushWindow(HWND window, CvGIFFrame* frame);
    ~WnHcBrushWindow() override;

    void SetTool(int newTool) { tool = newTool; }
    // Told of every pick the picker makes, after the frame took it.
    using PickListener = std::function<void(uint8_t index, HcPickMode mode)>;
    void SetPickListener(PickListener listener) { onPick = std::move(listener); }
    int GetTool() const { return tool; }
    bool StrokeInProgress() const { return stroke != nullptr; }

    void OnMouseDown(HcPoint point) override;
    void OnMouseUp(HcPoint point) override;
    void OnMouseMove(HcPoint point) override;
    void OnViewChanged(bool repaint) override;

protected:
    bool ShowPaneCursor() override;
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCaptureLost() override;

private:
    CvGIFFrame& Frame() const;
    void Pick(HcPoint point);
    void StartStroke(HcPoint point);
    void ContinueStroke(HcPoint point);
    // Ends a pencil or edge-brush stroke and tells the dialog; false when none was in progress.
    bool EndStroke();
    void OnAutoScroll();
    void NotifyMaskEdited() const;
    bool InsideView(HcPoint point) const;

    int tool = kHand;
    // The pencil or edge-brush stroke while the button is down; it keeps the last image point and, for the edge
    // brush, the mask snapshot.
    std::unique_ptr<HcMaskStroke> stroke;
    bool grabbing = false;
    bool panning = false;
    HcPoint lastPoint;
    WnTimer autoScroll;
    PickListener onPick;
};
