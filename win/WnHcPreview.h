// The quantization dialog's panes: the source image and the reduced image, which pan together when either is
// dragged. The pair lives in two process-wide slots; a pane leaves its slot when it is destroyed.
#pragma once

#include "wnatom/WnImagePreview.h"

class WnHcPreview : public WnImagePreview {
public:
    // `first` takes the first slot and empties the second; otherwise the pane takes the second slot.
    WnHcPreview(HWND window, CvImage* image, bool first);
    ~WnHcPreview() override;

    void OnMouseDown(HcPoint point) override;
    void OnMouseUp(HcPoint point) override;
    void OnMouseMove(HcPoint point) override;
    void OnViewChanged(bool repaint) override;

    // The other pane of the pair, or null.
    WnHcPreview* Partner() const;
    bool Dragging() const { return dragging; }

protected:
    bool ShowPaneCursor() override;
    void OnCaptureLost() override;
    // Both panes of the pair zoom and scroll together.
    bool OnWheel(int delta, WPARAM keys, HcPoint pointer) override;

private:
    void DragTo(HcPoint point);

    bool grabbing = false;
    HcPoint lastPoint;
    bool dragging = false;
};

// The zoom buttons (1036 in, 1037 out) and the zoom label (1038) of the dialog that holds a pane.
void HcShowZoomState(HWND pane, const HcPreviewLayout& layout);
