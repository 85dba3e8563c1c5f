// Layout of a zoomed image in a pane: centring, clamped scrolling and view <-> image coordinates.
// Image coordinates come from view ones by floor division, so points left of or above the image stay outside it.
#include "uicore/HcPreviewLayout.h"

#include <algorithm>
#include <cstdint>

#include "cvcode2/CvErrorCode.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// A coordinate too far out for 32 bits is still outside the image after narrowing.
int32_t Narrow(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int32_t ClampOrigin(int64_t origin, int32_t minOrigin) {
    return int32_t(std::clamp<int64_t>(origin, minOrigin, 0));
}

// One direction of the layout: centred when the image fits, else the centre offset kept at the view centre.
void PlaceAxis(int32_t view, int32_t scaled, int32_t centre, int32_t& origin, int32_t& minOrigin, bool& centred) {
    minOrigin = view - scaled;
    centred = view >= scaled;
    origin = centred ? (view - scaled) / 2 : ClampOrigin(int64_t(view / 2) - centre, minOrigin);
}

int32_t AxisShift(int32_t pointer, int32_t view) {
    if (pointer < 0) return -pointer;
    if (pointer >= view) return view - 1 - pointer;
    return 0;
}

}  // namespace

bool HcPreviewLayout::SetImageSize(uint32_t width, uint32_t height) {
    if (width > kMaxImageSide || height > kMaxImageSide) CV_THROW(kCvErrSizeMismatch);
    if (width == imageWidth && height == imageHeight) return false;
    imageWidth = width;
    imageHeight = height;
    ShowFromTopLeft();
    return true;
}

bool HcPreviewLayout::SetZoom(int level) {
    if (!HcZoom::IsLevel(level)) return false;
    zoom = HcZoom::ForLevel(level);
    ShowFromTopLeft();
    return true;
}

bool HcPreviewLayout::ZoomStep(bool in) {
    const int level = zoom.StepLevel(in);
    return level != zoom.level && SetZoom(level);
}

void HcPreviewLayout::SetViewSize(int32_t width, int32_t height) {
    const HcPoint centre = ViewCentreOnImage();
    viewWidth = std::max(width, 0);
    viewHeight = std::max(height, 0);
    Place(centre);
}

void HcPreviewLayout::ShowFromTopLeft() {
    scaledWidth = zoom.Scale(imageWidth);
    scaledHeight = zoom.Scale(imageHeight);
    origin = HcPoint{};
    Place(ViewCentreOnImage());
}

void HcPreviewLayout::Place(HcPoint centre) {
    PlaceAxis(viewWidth, scaledWidth, centre.x, origin.x, minOrigin.x, centredX);
    PlaceAxis(viewHeight, scaledHeight, centre.y, origin.y, minOrigin.y, centredY);
}

bool HcPreviewLayout::MoveOrigin(int64_t x, int64_t y) {
    const HcPoint before = origin;
    if (!centredX) origin.x = ClampOrigin(x, minOrigin.x);
    if (!centredY) origin.y = ClampOrigin(y, minOrigin.y);
    return !(origin == before);
}

bool HcPreviewLayout::Pan(int32_t dx, int32_t dy) {
    return MoveOrigin(int64_t(origin.x) + dx, int64_t(origin.y) + dy);
}

bool HcPreviewLayout::ScrollTo(HcPoint to) {
    return MoveOrigin(to.x, to.y);
}

HcPoint HcPreviewLayout::AutoScrollShift(HcPoint pointer) const {
    return {AxisShift(pointer.x, viewWidth), AxisShift(pointer.y, viewHeight)};
}

bool HcPreviewLayout::AutoScroll(HcPoint pointer) {
    const HcPoint shift = AutoScrollShift(pointer);
    return Pan(shift.x, shift.y);
}

bool HcPreviewLayout::ViewToImage(HcPoint view, HcPoint& image) const {
    image.x = Narrow(FloorDiv((int64_t(view.x) - origin.x) * zoom.den, zoom.num));
    image.y = Narrow(FloorDiv((int64_t(view.y) - origin.y) * zoom.den, zoom.num));
    return image.x >= 0 && image.y >= 0 && uint32_t(image.x) < imageWidth && uint32_t(image.y) < imageHeight;
}

HcPoint HcPreviewLayout::ImageToView(HcPoint image) const {
    return {Narrow(origin.x + FloorDiv(int64_t(image.x) * zoom.num, zoom.den)),
            Narrow(origin.y + FloorDiv(int64_t(image.y) * zoom.num, zoom.den))};
}
