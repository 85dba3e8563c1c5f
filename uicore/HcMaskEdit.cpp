// Mask edits on a frame: bit reads and writes follow the mask's polarity, as the frame's own operations do.
// Each stroke move records a pixel only when its bit actually flips, so the caller repaints exactly what changed.
#include "uicore/HcMaskEdit.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLine.h"

namespace {

// The mask's bits, locked for one edit.
class MaskBits {
public:
    explicit MaskBits(const CvBitmapImage& mask) : lock(mask), polarity(uint8_t(mask.Polarity() & 1)) {}
    bool Transparent(uint32_t x, uint32_t y) const { return ((lock.Row(y)[x / 8] >> (7 - x % 8)) & 1) == polarity; }
    // Returns whether the bit changed.
    bool Set(uint32_t x, uint32_t y, bool transparent) {
        if (Transparent(x, y) == transparent) return false;
        lock.Row(y)[x / 8] ^= uint8_t(0x80 >> (x % 8));
        return true;
    }

private:
    CvPixelLock lock;
    uint8_t polarity;
};

bool Inside(const CvImage& image, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && uint32_t(x) < image.GetWidth() && uint32_t(y) < image.GetHeight();
}

// The edge brush's rule for one pixel inside the image.
bool EdgeBrushReaches(const CvImage& image, const MaskBits& current, const MaskBits& before, uint32_t x, uint32_t y,
                      bool transparent) {
    const uint32_t w = image.GetWidth(), h = image.GetHeight();
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1) return true;
    if (current.Transparent(x, y) == transparent) return false;
    return before.Transparent(x - 1, y) == transparent || before.Transparent(x + 1, y) == transparent ||
           before.Transparent(x, y - 1) == transparent || before.Transparent(x, y + 1) == transparent;
}

void Paint(const CvImage& image, MaskBits& bits, int32_t x, int32_t y, bool transparent, HcMaskChange& change) {
    if (!Inside(image, x, y) || !bits.Set(uint32_t(x), uint32_t(y), transparent)) return;
    change.pixels.push_back({x, y});
    change.bounds.Include({x, y});
}

void PaintEdge(const CvImage& image, MaskBits& bits, const MaskBits& before, int32_t x, int32_t y, bool transparent,
               HcMaskChange& change) {
    for (int32_t qy = y - 2; qy <= y + 2; ++qy)
        for (int32_t qx = x - 2; qx <= x + 2; ++qx)
            if (Inside(image, qx, qy) && EdgeBrushReaches(image, bits, before, uint32_t(qx), uint32_t(qy), transparent))
                Paint(image, bits, qx, qy, transparent, change);
}

}  // namespace

HcPickMode HcPickModeFor(bool shift, bool ctrl) {
    if (shift) return HcPickMode::Add;
    if (ctrl) return HcPickMode::Remove;
    return HcPickMode::OnlyThis;
}

int HcPickIndex(CvGIFFrame& frame, HcPoint pixel, HcPickMode mode) {
    if (!Inside(frame, pixel.x, pixel.y)) return -1;
    const CvIndexedImage& image = *frame.GetIndexedImage();
    const uint8_t index = CvPixelLock(image).Row(uint32_t(pixel.y))[pixel.x];
    switch (mode) {
        case HcPickMode::Add: frame.MarkIndexTransparent(index); break;
        case HcPickMode::Remove: frame.MarkIndexOpaque(index); break;
        case HcPickMode::OnlyThis:
            frame.ClearTransparency();
            frame.MarkIndexTransparent(index);
            break;
    }
    return index;
}

void HcPickFlags(uint8_t flags[256], uint8_t index, HcPickMode mode) {
    if (mode == HcPickMode::OnlyThis) std::memset(flags, 0, 256);
    flags[index] = mode == HcPickMode::Remove ? 0 : 1;
}

HcMaskStroke::HcMaskStroke(CvGIFFrame& target, Brush brush, HcPoint start) : frame(target), last(start) {
    if (brush == Brush::EdgeBrush) snapshot.reset(static_cast<CvBitmapImage*>(frame.GetTransparencyMask()->Clone()));
}

HcMaskStroke::~HcMaskStroke() = default;

HcMaskChange HcMaskStroke::LineTo(HcPoint to, bool opaque) {
    const bool transparent = !opaque;
    HcMaskChange change;
    const CvBitmapImage& mask = *frame.GetTransparencyMask();
    // A mask swapped or resized under a running stroke would be read past its rows.
    if (snapshot && (snapshot->GetWidth() != mask.GetWidth() || snapshot->GetHeight() != mask.GetHeight()))
        CV_THROW(kCvErrSizeMismatch);
    MaskBits bits(mask);
    std::optional<MaskBits> before;
    if (snapshot) before.emplace(*snapshot);
    CvLine line;
    line.Init(last.x, last.y, to.x, to.y);
    last = to;
    int x = 0, y = 0;
    for (bool more = true; more;) {
        more = line.Next(&x, &y);
        if (before)
            PaintEdge(frame, bits, *before, x, y, transparent, change);
        else
            Paint(frame, bits, x, y, transparent, change);
    }
    return change;
}

void HcShowMaskPixels(const CvGIFFrame& frame, const std::vector<HcPoint>& pixels, const HcBgrxBuffer& full) {
    const CvIndexedImage& image = *frame.GetIndexedImage();
    const MaskBits bits(*frame.GetTransparencyMask());
    const CvPixelLock indexes(image);
    for (const HcPoint& p : pixels) {
        if (!Inside(frame, p.x, p.y) || uint32_t(p.x) >= full.width || uint32_t(p.y) >= full.height) continue;
        const uint32_t x = uint32_t(p.x), y = uint32_t(p.y);
        uint8_t rgb[3];
        if (bits.Transparent(x, y))
            std::copy(frame.GetBackgroundColor(), frame.GetBackgroundColor() + 3, rgb);
        else
            image.colorTable.GetEntry(indexes.Row(y)[x], rgb[0], rgb[1], rgb[2]);
        full.SetRGB(x, y, rgb);
    }
}
