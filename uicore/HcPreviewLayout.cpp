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
    SetZoom(zoom.level);
    return true;
}

bool HcPreviewLayout::SetZoom(int level) {
    if (!HcZoom::IsLevel(level)) return false;
    SetZoomRatio(level);
    origin = HcPoint{};
    Place(ViewCentreOnImage());
    return true;
}

void HcPreviewLayout::SetZoomRatio(int level) {
    zoom = HcZoom::ForLevel(level);
    scaledWidth = zoom.Scale(imageWidth);
    scaledHeight = zoom.Scale(imageHeight);
}

int HcPreviewLayout::StepLevel(bool in) const {
    if (in) return zoom.level < HcZoom::kMaxLevel ? zoom.level + 1 : zoom.level;
    return zoom.level > MinLevel() ? zoom.level - 1 : zoom.level;
}

bool HcPreviewLayout::ZoomStep(bool in) {
    const int level = StepLevel(in);
    return level != zoom.level && SetZoom(level);
}

bool HcPreviewLayout::ZoomStepAbout(bool in, HcPoint pointer) {
    const int level = StepLevel(in);
    if (level == zoom.level) return false;
    const HcZoom before = zoom;
    // The pointer's distance from the image's corner, carried over to the new scale: that image point stays put.
    const int64_t offsetX = int64_t(pointer.x) - origin.x, offsetY = int64_t(pointer.y) - origin.y;
    SetZoomRatio(level);
    const int64_t factor = int64_t(zoom.num) * before.den, divisor = int64_t(zoom.den) * before.num;
    Place({Narrow(viewWidth / 2 - int64_t(pointer.x) + FloorDiv(offsetX * factor, divisor)),
           Narrow(viewHeight / 2 - int64_t(pointer.y) + FloorDiv(offsetY * factor, divisor))});
    return true;
}

int HcPreviewLayout::FittedLevel() const {
    if (viewWidth <= 0 || viewHeight <= 0) return 0;
    for (int level = 0; level > HcZoom::kMinLevel; --level) {
        const HcZoom candidate = HcZoom::ForLevel(level);
        if (candidate.Scale(imageWidth) <= viewWidth && candidate.Scale(imageHeight) <= viewHeight) return level;
    }
    return HcZoom::kMinLevel;
}

int HcPreviewLayout::MinLevel() const {
    return std::min(HcZoom::kSteadyMinLevel, FittedLevel());
}

void HcPreviewLayout::SetViewSize(int32_t width, int32_t height) {
    const HcPoint centre = ViewCentreOnImage();
    viewWidth = std::max(width, 0);
    viewHeight = std::max(height, 0);
    Place(centre);
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

int32_t HcPreviewLayout::AutoScrollStep(int32_t distance) {
    const int32_t size = distance < 0 ? -distance : distance;
    const int32_t step = std::min({size, 2 + size / 4, int32_t(64)});
    return distance < 0 ? -step : step;
}

bool HcPreviewLayout::AutoScroll(HcPoint pointer) {
    const HcPoint shift = AutoScrollShift(pointer);
    return Pan(AutoScrollStep(shift.x), AutoScrollStep(shift.y));
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

int32_t HcWheelSteps::Add(int32_t delta) {
    if ((rest > 0 && delta < 0) || (rest < 0 && delta > 0)) rest = 0;
    rest += delta;
    const int32_t steps = rest / kNotch;
    rest -= steps * kNotch;
    return steps;
}
