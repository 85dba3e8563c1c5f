// A zoomable, pannable picture of an image in a child window: the image at 1 : 1 in one off-screen bitmap, its
// block averages for the zoomed-out levels in another, both kept in step with the layout and copied on paint.
// The wheel reaches a pane under the pointer wherever the keyboard focus is: Ctrl+wheel zooms about the pointer,
// the wheel alone scrolls up and down, Shift+wheel left and right.
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
    // caller keeps alive and may be null. Raises kCvErrNoMemory when the off-screen bitmaps cannot be made.
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

    // Levels that are none are ignored.
    void SetZoom(int level, bool repaint, int width, int height);
    void SetZoomLevel(int level, bool repaint);
    void ZoomStep(bool in);
    // The zoom a pane opens at, once its window has its opening size: 1 : 1 when the picture fits, else the
    // largest zoom at which the whole picture is seen.
    void ShowFitted(bool repaint) { SetZoomLevel(layout.FittedLevel(), repaint); }
    // Takes another pane's zoom and position (a pane of a pair showing the same part of a same-sized picture).
    void ShowSameView(const WnImagePreview& other);
    // Keeps the bitmaps when the new image has the old size, rebuilds them otherwise; then renders and paints.
    void SetImage(CvImage* newImage);
    // The same for a picture rendered later, band by band (a large one, while the dialog stays responsive): the
    // pane shows no picture until Reveal(), and no pass over its pixels is made before.
    void SetImageHidden(CvImage* newImage);
    // Renders the picture's rows top <= y < bottom; they show at the next Paint (or Reveal) unless the picture is
    // hidden. Zoomed out, only their blocks are made, straight from the picture, and the 1 : 1 buffer is left
    // behind it until a view needs it or its owner brings it up.
    void RenderRows(uint32_t top, uint32_t bottom);
    // Brings the 1 : 1 buffer up to the rows rendered so far (or up to row `rows`, a band at a time), read again
    // from the picture, which must still show them: an owner about to make the picture show something else
    // brings it up first.
    void BringFullUpTo(uint32_t rows);
    void BringFullUpToDate() { BringFullUpTo(renderedRows); }
    bool FullBehind() const { return fullRows < renderedRows; }
    uint32_t FullRows() const { return fullRows; }
    void Reveal();
    bool Hidden() const { return hidden; }
    // Rows 0 <= y < RenderedRows() are rendered since the picture was set (bands rendered from the top down).
    uint32_t RenderedRows() const { return renderedRows; }
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
    // The wheel turned by `delta` (positive away from the user) with the pointer at `pointer` (view coordinates)
    // and `keys` (MK_ flags) held; returns whether the view changed.
    virtual bool OnWheel(int delta, WPARAM keys, HcPoint pointer);
    // Messages beyond painting, sizing and the mouse; true when handled.
    virtual bool OnOtherMessage(UINT, WPARAM, LPARAM) { return false; }
    // The mouse capture went to another window or was released.
    virtual void OnCaptureLost() {}
    // After pixels of the full buffer changed inside the image rectangle (x0, y0)-(x1, y1), corners included.
    void Redraw(int x0, int y0, int x1, int y1);

private:
    void Create(int width, int height, int zoomLevel);
    // Takes the picture, rebuilding the bitmaps when its size differs.
    void AdoptImage(CvImage* newImage);
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
    HcWheelSteps wheelSteps;
    bool hidden = false;
    uint32_t renderedRows = 0;
    uint32_t fullRows = 0;  // rows 0 <= y < fullRows of the 1 : 1 buffer show the picture's rendered rows
};
