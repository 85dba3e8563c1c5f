// Where a zoomed image sits in a preview pane: scaled size, origin (view position of the image's top-left corner)
// and, per direction, whether it fits and is centred. A centred direction never scrolls; a scrolled one keeps its
// origin within minOrigin..0, so the view is always covered by the image in that direction.
// Zooming out goes down to 1 : 8, or further down to the first level at which the whole picture fits.
#pragma once

#include <cstdint>

#include "uicore/HcPreviewTypes.h"
#include "uicore/HcZoom.h"

class HcPreviewLayout {
public:
    // Wider or taller images raise kCvErrSizeMismatch: their scaled sizes and view positions must stay within 32 bits.
    static constexpr uint32_t kMaxImageSide = 1u << 20;

    // Returns whether the size changed, in which case the pane rebuilds its buffers for it; the zoom level stays
    // and the image is shown from its top-left corner.
    bool SetImageSize(uint32_t width, uint32_t height);
    // Ignores a level that is none (returns false). Shows the image from its top-left corner, or centred where it
    // fits.
    bool SetZoom(int level);
    // One step in or out, down to MinLevel(); at the end levels nothing changes and it returns false.
    bool ZoomStep(bool in);
    // The same step, keeping the image point under `pointer` (view coordinates) where it is, as far as the
    // clamping allows: what the wheel does.
    bool ZoomStepAbout(bool in, HcPoint pointer);
    // The largest zoom, at most 1 : 1, at which the whole picture fits the view: where a pane opens. 1 : 1 while
    // the view has no size yet.
    int FittedLevel() const;
    // The deepest level offered: 1 : 8, or FittedLevel() when the picture needs more to fit.
    int MinLevel() const;
    bool CanZoomIn() const { return zoom.level < HcZoom::kMaxLevel; }
    bool CanZoomOut() const { return zoom.level > MinLevel(); }
    // The image point at the centre of the view stays there, as far as the new view allows.
    void SetViewSize(int32_t width, int32_t height);

    // Moves each scrolled origin by the delta, clamped; returns whether the origin moved.
    bool Pan(int32_t dx, int32_t dy);
    // Takes another pane's origin for the scrolled directions, clamped; returns whether the origin moved.
    bool ScrollTo(HcPoint origin);
    // How far a pointer (view coordinates) lies outside the view: positive left of or above it, negative right of
    // or below it, 0 inside. Adding it to the origin brings the image under the pointer toward the view.
    HcPoint AutoScrollShift(HcPoint pointer) const;
    // One step of the scrolling a stroke makes while it drags the pointer outside the view, taken every
    // kAutoScrollMilliseconds: AutoScrollStep of each direction's distance. Returns whether the origin moved.
    bool AutoScroll(HcPoint pointer);
    static constexpr unsigned kAutoScrollMilliseconds = 30;
    // The step for a pointer `distance` pixels outside (signed as AutoScrollShift): slow just past the edge,
    // faster further out, never more than the distance itself or 64 pixels.
    static int32_t AutoScrollStep(int32_t distance);

    // The image pixel under a view point (rounded toward the top-left); true when that pixel is in the image.
    bool ViewToImage(HcPoint view, HcPoint& image) const;
    // The view position of an image pixel's top-left corner.
    HcPoint ImageToView(HcPoint image) const;

    const HcZoom& Zoom() const { return zoom; }
    uint32_t ImageWidth() const { return imageWidth; }
    uint32_t ImageHeight() const { return imageHeight; }
    int32_t ViewWidth() const { return viewWidth; }
    int32_t ViewHeight() const { return viewHeight; }
    int32_t ScaledWidth() const { return scaledWidth; }
    int32_t ScaledHeight() const { return scaledHeight; }
    HcPoint Origin() const { return origin; }
    HcPoint MinOrigin() const { return minOrigin; }
    bool CentredX() const { return centredX; }
    bool CentredY() const { return centredY; }
    bool CentredBothWays() const { return centredX && centredY; }

private:
    // The view centre's offset from the image's top-left corner, in view pixels.
    HcPoint ViewCentreOnImage() const { return {viewWidth / 2 - origin.x, viewHeight / 2 - origin.y}; }
    // Puts the image point `centre` (an offset as above) at the view centre, or centres the image where it fits.
    void Place(HcPoint centre);
    void SetZoomRatio(int level);
    // The level one step in or out of the current one, within MinLevel()..kMaxLevel; the current one at the ends.
    int StepLevel(bool in) const;
    // Sets each scrolled origin, clamped to minOrigin..0; returns whether it moved.
    bool MoveOrigin(int64_t x, int64_t y);

    HcZoom zoom;
    uint32_t imageWidth = 0, imageHeight = 0;
    int32_t viewWidth = 0, viewHeight = 0;
    int32_t scaledWidth = 0, scaledHeight = 0;
    HcPoint origin, minOrigin;
    bool centredX = true, centredY = true;
};

// Turns wheel rotation (120 units a notch) into whole zoom steps, positive away from the user; the partial turns of
// finer wheels add up, and turning back starts afresh.
class HcWheelSteps {
public:
    static constexpr int32_t kNotch = 120;
    int32_t Add(int32_t delta);

private:
    int32_t rest = 0;
};
