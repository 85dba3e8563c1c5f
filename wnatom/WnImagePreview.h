// A zoomable, pannable picture of an image in a child window: the image at 1 : 1 in one off-screen bitmap, its
// block averages for the zoomed-out levels in another, both kept in step with the layout and copied on paint.
#pragma once

#include <windows.h>

#include <memory>

#include "uicore/HcPreviewLayout.h"
#include "uicore/HcPreviewRaster.h"
#include "wnatom/ControlBitmap.h"

class CvImage;

class WnImagePreview {
public:
    // Attaches to `window` (a child control of its dialog) for an image of that size, or for `image`, which the
    // caller keeps alive and may be null. Raises CvErrorCode 2 when the off-screen bitmaps cannot be made.
    WnImagePreview(HWND window, int width, int height);
    WnImagePreview(HWND window, CvImage* image);
    virtual ~WnImagePreview();
    WnImagePreview(const WnImagePreview&) = delete;
    WnImagePreview& operator=(const WnImagePreview&) = delete;

    virtual void Paint();
    virtual void OnMouseDown(HcPoint) {}
    virtual void OnMouseUp(HcPoint) {}
    virtual void OnMouseMove(HcPoint) {}
    virtual void Render();
    virtual void OnViewChanged(bool) {}

    // Levels outside -7..7 are ignored.
    void SetZoom(int level, bool repaint, int width, int height);
    void SetZoomLevel(int level, bool repaint);
    void ZoomStep(bool in);
    // Keeps the bitmaps when the new image has the old size, rebuilds them otherwise; then renders and paints.
    void SetImage(CvImage* newImage);
    // The window's client size changed: the image point at the view centre stays there.
    void OnResize();

    HWND Window() const { return window; }
    CvImage* Image() const { return image; }
    const HcPreviewLayout& Layout() const { return layout; }
    const ControlBitmap& FullBuffer() const { return *fullBuffer; }
    const ControlBitmap& ReducedBuffer() const { return *reducedBuffer; }

protected:
    // Re-places the image in the view; the block averages follow when zoomed out.
    void ApplyLayout(bool repaint);
    // Moves the view by a delta, clamped; repaints when it moved.
    bool PanBy(int dx, int dy, bool repaint);
    // Takes another pane's origin for the directions that scroll.
    bool ScrollTo(HcPoint origin, bool repaint);
    // Shifts the view toward a pointer outside it, as a stroke does that runs past the edge.
    bool AutoScroll(HcPoint pointer);
    HcPreviewRaster Raster() const;
    // The image pixel under a view point; false when the point shows no image pixel.
    bool ViewToImage(HcPoint view, HcPoint& pixel) const { return layout.ViewToImage(view, pixel); }
    // Sets the cursor for a pointer over the pane; false leaves it to the system (the arrow).
    virtual bool ShowPaneCursor() { return false; }
    // Messages beyond painting, sizing and the mouse; true when handled.
    virtual bool OnOtherMessage(UINT, WPARAM, LPARAM) { return false; }
    // The mouse capture went to another window or was released.
    virtual void OnCaptureLost() {}
    // After pixels of the full buffer changed inside the image rectangle (x0, y0)-(x1, y1), corners included.
    void Redraw(int x0, int y0, int x1, int y1);

private:
    void Create(int width, int height, int zoomLevel);
    void ReadClientSize();
    void PaintSurround(HDC dc) const;
    void CopyImage() const;
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<ControlBitmap> fullBuffer;
    std::unique_ptr<ControlBitmap> reducedBuffer;
    CvImage* image = nullptr;
    HWND window;
    HcPreviewLayout layout;
    RECT clientRect{};
};
