// The RGB raster's colour-model operations.
// Row loops run over the locked block; the common 3-byte R, G, B destination is a straight row copy.
#include "cvcode2/CvRGBImage.h"

#include <cstring>
#include <memory>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvResize.h"

CvRGBImage::CvRGBImage(uint32_t w, uint32_t h, CvRowBytesFunction function, CvBaseBuffer* pixelBuffer, bool clear)
    : CvRealImage(w, h, 8, 3, function, pixelBuffer, kCvKindRGB, clear) {}

CvRGBImage::CvRGBImage(const CvRGBImage& from, CvRowBytesFunction function, CvBaseBuffer* pixelBuffer)
    : CvRealImage(from.width, from.height, 8, 3, function, pixelBuffer, kCvKindRGB, false) {
    CopyFrom(from);
}

CvImage* CvRGBImage::Clone() const {
    std::unique_ptr<CvRGBImage> clone(CvAllocated(new (std::nothrow) CvRGBImage(0u, 0u, nullptr, nullptr, false)));
    clone->CopyFrom(*this);
    return clone.release();
}

void CvRGBImage::CopyFrom(const CvImage& from) {
    const auto* source = dynamic_cast<const CvRGBImage*>(&from);
    CV_ASSERT(source);
    if (!source) return;
    SetSize(source->width, source->height);
    std::memcpy(fillColor, source->fillColor, 3);
    const CvPoint origin{0, 0};
    Paste(&origin, source);
    CopyFormatInfo(source);
}

void CvRGBImage::SetFillColor(uint8_t r, uint8_t g, uint8_t b) {
    fillColor[0] = r;
    fillColor[1] = g;
    fillColor[2] = b;
}

void CvRGBImage::GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    CvPixelLock lock(*this);
    const bool straight = out.pixelBytes == 3 && out.rOffset == 0 && out.gOffset == 1 && out.bOffset == 2;
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* s = lock.Row(rect.top + j) + size_t(rect.left) * 3;
        uint8_t* d = out.At(0, j);
        if (straight) {
            std::memcpy(d, s, size_t(rect.Width()) * 3);
            continue;
        }
        for (uint32_t i = 0; i < rect.Width(); ++i, s += 3, d += out.pixelBytes) {
            d[out.rOffset] = s[0];
            d[out.gOffset] = s[1];
            d[out.bOffset] = s[2];
        }
    }
}

void CvRGBImage::Clear() {
    if (!HasPixels()) return;
    CvPixelLock lock(*this);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* p = lock.Row(y);
        for (uint32_t x = 0; x < width; ++x, p += 3) std::memcpy(p, fillColor, 3);
    }
}

CvRealImage* CvRGBImage::NewImage(const CvRect& rect) const {
    return CvAllocated(new (std::nothrow) CvRGBImage(rect.Width(), rect.Height(), nullptr, nullptr, true));
}

CvImage* CvRGBImage::Rotate(float angle) const {
    return Rotate(angle, 0);
}

CvImage* CvRGBImage::Rotate(float angle, uint32_t fill) const {
    if (IsRightAngle(angle)) return Rotate90(angle);
    uint32_t w, h;
    RotatedSize(angle, w, h);
    std::unique_ptr<CvRGBImage> rotated(CvAllocated(new (std::nothrow) CvRGBImage(w, h, nullptr, nullptr, false)));
    rotated->SetFillColor(fillColor[0], fillColor[1], fillColor[2]);
    const uint8_t fillBytes[3] = {uint8_t(fill), uint8_t(fill >> 8), uint8_t(fill >> 16)};
    RotateSamplesInto(*rotated, angle, fillBytes);
    return rotated.release();
}

CvRGBImage* CvRGBImage::Rotate90(float angle) const {
    if (IsLocked()) CV_THROW(kCvErrSizeMismatch);
    const uint32_t turns = QuarterTurns(angle);
    std::unique_ptr<CvRGBImage> rotated(CvAllocated(new (std::nothrow) CvRGBImage(
        turns % 2 ? height : width, turns % 2 ? width : height, nullptr, nullptr, false)));
    rotated->SetFillColor(fillColor[0], fillColor[1], fillColor[2]);
    RotateQuarterInto(*rotated, turns);
    return rotated.release();
}

CvImage* CvRGBImage::Resize(uint32_t w, uint32_t h) const {
    std::unique_ptr<CvRGBImage> resized(WithBufferLikeMine(
        [&](CvBaseBuffer* fresh) { return new (std::nothrow) CvRGBImage(w, h, nullptr, fresh, false); }));
    resized->SetFillColor(fillColor[0], fillColor[1], fillColor[2]);
    {
        CvPixelLock in(*this);
        CvPixelLock out(*resized);
        CvResize::ResizeAverage(in.Pixels(), out.Pixels(), 3, 3, 3, rowBytes, resized->RowBytes(), width, height, w, h);
    }
    resized->CopyFormatInfo(this);
    return resized.release();
}

void CvRGBImage::PaintMasked(const CvBitmapImage* mask, const uint8_t* color) {
    static const uint8_t white[3] = {255, 255, 255};
    if (!color) color = white;
    CV_ASSERT(mask && mask->GetWidth() == width && mask->GetHeight() == height);
    if (!mask || mask->GetWidth() != width || mask->GetHeight() != height) return;
    CvPixelLock bits(*mask);
    CvPixelLock lock(*this);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* m = bits.Row(y);
        uint8_t* p = lock.Row(y);
        for (uint32_t x = 0; x < width; ++x)
            if (m[x / 8] & (0x80 >> (x % 8))) std::memcpy(p + size_t(x) * 3, color, 3);
    }
}
