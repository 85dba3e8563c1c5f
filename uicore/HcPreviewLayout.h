// Where a zoomed image sits in a preview pane: scaled size, origin (view position of the image's top-left corner)
// and, per direction, whether it fits and is centred. A centred direction never scrolls; a scrolled one keeps its
// origin within minOrigin..0, so the view is always covered by the image in that direction.
#pragma once

#include <cstdint>

#include "uicore/HcPreviewTypes.h"
#include "uicore/HcZoom.h"

class HcPreviewLayout {
public:
    // Wider or taller images raise 21: their scaled sizes and view positions must stay within 32 bits.
    static constexpr uint32_t kMaxImageSide = 1u << 20;

    // Returns whether the size changed, in which case the pane rebuilds its buffers for it; the zoom level stays
    // and the image is shown from its top-left corner.
    bool SetImageSize(uint32_t width, uint32_t height);
    // Ignores a level outside -7..7 (returns false). Shows the image from its top-left corner, or centred where
    // it fits.
    bool SetZoom(int level);
    // One step in or out; at the end levels nothing changes and it returns false.
    bool ZoomStep(bool in);
    // The image point at the centre of the view stays there, as far as the new view allows.
    void SetViewSize(int32_t width, int32_t height);

    // Moves each scrolled origin by the delta, clamped; returns whether the origin moved.
    bool Pan(int32_t dx, int32_t dy);
    // Takes another pane's origin for the scrolled directions, clamped; returns whether the origin moved.
    bool ScrollTo(HcPoint origin);
    // How far a pointer (view coordinates) lies outside the view: positive left of or above it, negative right of
    // or below it, 0 inside. Adding it to the origin brings the image under the pointer toward the view.
    HcPoint AutoScrollShift(HcPoint pointer) const;
    // Pans by AutoScrollShift: what a pane does while a stroke drags the pointer outside it.
    bool AutoScroll(HcPoint pointer);

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
    void ShowFromTopLeft();
    // Sets each scrolled origin, clamped to minOrigin..0; returns whether it moved.
    bool MoveOrigin(int64_t x, int64_t y);

    HcZoom zoom;
    uint32_t imageWidth = 0, imageHeight = 0;
    int32_t viewWidth = 0, viewHeight = 0;
    int32_t scaledWidth = 0, scaledHeight = 0;
    HcPoint origin, minOrigin;
    bool centredX = true, centredY = true;
};
