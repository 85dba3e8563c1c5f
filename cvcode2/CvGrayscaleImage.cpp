// The grey raster's colour-model operations, its use as an 8-bit mask, dithering to 1 bit and bounds.
// Grey readings go through a 256-entry table so the inverted scale costs nothing per pixel.
#include "cvcode2/CvGrayscaleImage.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvResize.h"
#include "cvcode2/CvTempBuffer.h"

CvGrayscaleImage::CvGrayscaleImage(uint32_t w, uint32_t h, uint8_t fill, uint8_t black, CvRowBytesFunction function,
                                   CvBaseBuffer* pixelBuffer, bool clear)
    : CvRealImage(w, h, 8, 1, function, pixelBuffer, kCvKindGray, clear), fillValue(fill), blackValue(black) {}

CvGrayscaleImage::CvGrayscaleImage(const CvGrayscaleImage& from, CvRowBytesFunction function, CvBaseBuffer* pixelBuffer)
    : CvRealImage(from.width, from.height, 8, 1, function, pixelBuffer, kCvKindGray, false),
      fillValue(from.fillValue),
      blackValue(from.blackValue) {
    CopyFrom(from);
}

CvImage* CvGrayscaleImage::Clone() const {
    std::unique_ptr<CvGrayscaleImage> clone(
        CvAllocated(new (std::nothrow) CvGrayscaleImage(0u, 0u, uint8_t(0), uint8_t(0), nullptr, nullptr, false)));
    clone->CopyFrom(*this);
    return clone.release();
}

void CvGrayscaleImage::CopyFrom(const CvImage& from) {
    const auto* source = dynamic_cast<const CvGrayscaleImage*>(&from);
    CV_ASSERT(source);
    if (!source) return;
    SetSize(source->width, source->height);
    fillValue = source->fillValue;
    blackValue = source->blackValue;
    const CvPoint origin{0, 0};
    Paste(&origin, source);
    CopyFormatInfo(source);
}

void CvGrayscaleImage::GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const {
    if (blackValue != 0 && blackValue != 255) CV_THROW(kCvErrBadDepth);
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    uint8_t shade[256];
    for (int v = 0; v < 256; ++v) shade[v] = uint8_t(blackValue ? 255 - v : v);
    CvPixelLock lock(*this);
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* s = lock.Row(rect.top + j) + rect.left;
        uint8_t* d = out.At(0, j);
        for (uint32_t i = 0; i < rect.Width(); ++i, d += out.pixelBytes) {
            const uint8_t v = shade[s[i]];
            d[out.rOffset] = v;
            d[out.gOffset] = v;
            d[out.bOffset] = v;
        }
    }
}

void CvGrayscaleImage::MaskRGB8(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    CvPixelLock lock(*this);
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* m = lock.Row(rect.top + j) + rect.left;
        const uint8_t* s = src + size_t(j) * srcRowBytes;
        uint8_t* d = out.At(0, j);
        for (uint32_t i = 0; i < rect.Width(); ++i, s += 3, d += out.pixelBytes) {
            const uint32_t w = blackValue ? 255u - m[i] : m[i];
            d[out.rOffset] = uint8_t((d[out.rOffset] * (255 - w) + w * s[0] + 127) / 255);
            d[out.gOffset] = uint8_t((d[out.gOffset] * (255 - w) + w * s[1] + 127) / 255);
            d[out.bOffset] = uint8_t((d[out.bOffset] * (255 - w) + w * s[2] + 127) / 255);
        }
    }
}

void CvGrayscaleImage::Clear() {
    if (!HasPixels()) return;
    CvPixelLock lock(*this);
    std::memset(lock.Pixels(), fillValue, size_t(rowBytes) * height);
}

CvRealImage* CvGrayscaleImage::NewImage(const CvRect& rect) const {
    return CvAllocated(new (std::nothrow) CvGrayscaleImage(rect.Width(), rect.Height(), uint8_t(0), uint8_t(0), nullptr,
                                                           nullptr, true));
}

void CvGrayscaleImage::CheckPasteSource(const CvPoint*, const CvImage* src) const {
    const auto* source = dynamic_cast<const CvGrayscaleImage*>(src);
    if (source && source->blackValue != blackValue) CV_THROW(kCvErrSizeMismatch);
}

CvImage* CvGrayscaleImage::Rotate(float angle) const {
    return Rotate(angle, 0);
}

CvImage* CvGrayscaleImage::Rotate(float angle, uint32_t fill) const {
    if (IsRightAngle(angle)) return Rotate90(angle);
    uint32_t w, h;
    RotatedSize(angle, w, h);
    std::unique_ptr<CvGrayscaleImage> rotated(
        CvAllocated(new (std::nothrow) CvGrayscaleImage(w, h, fillValue, blackValue, nullptr, nullptr, false)));
    const uint8_t fillByte = uint8_t(fill);
    RotateSamplesInto(*rotated, angle, &fillByte);
    return rotated.release();
}

CvGrayscaleImage* CvGrayscaleImage::Rotate90(float angle) const {
    if (IsLocked()) CV_THROW(kCvErrSizeMismatch);
    const uint32_t turns = QuarterTurns(angle);
    std::unique_ptr<CvGrayscaleImage> rotated(CvAllocated(new (std::nothrow) CvGrayscaleImage(
        turns % 2 ? height : width, turns % 2 ? width : height, fillValue, blackValue, nullptr, nullptr, false)));
    RotateQuarterInto(*rotated, turns);
    return rotated.release();
}

CvImage* CvGrayscaleImage::Resize(uint32_t w, uint32_t h) const {
    std::unique_ptr<CvGrayscaleImage> resized(WithBufferLikeMine([&](CvBaseBuffer* fresh) {
        return new (std::nothrow) CvGrayscaleImage(w, h, fillValue, blackValue, nullptr, fresh, false);
    }));
    {
        CvPixelLock in(*this);
        CvPixelLock out(*resized);
        CvResize::ResizeAverage(in.Pixels(), out.Pixels(), 1, 1, 1, rowBytes, resized->RowBytes(), width, height, w, h);
    }
    resized->CopyFormatInfo(this);
    return resized.release();
}

CvBitmapImage* CvGrayscaleImage::ToBitmap() const {
    std::unique_ptr<CvBitmapImage> bitmap(
        CvAllocated(new (std::nothrow) CvBitmapImage(width, height, nullptr, nullptr, false)));
    bitmap->SetPolarity(1);
    bitmap->CvRealImage::Clear();  // all bits 0: white
    // Two rows of error terms: the current row's (read) and the following row's (gathered, zeroed per row).
    CvTempBuffer errors(uint64_t(width) * 2 * sizeof(int16_t));
    int16_t* current = errors.As<int16_t>();
    int16_t* following = current + width;
    std::fill(current, current + width, int16_t(0));
    CvPixelLock in(*this);
    CvPixelLock out(*bitmap);
    for (uint32_t y = 0; y < height; ++y) {
        std::fill(following, following + width, int16_t(0));
        const uint8_t* grey = in.Row(y);
        uint8_t* bits = out.Row(y);
        int32_t carry = 0;
        for (uint32_t x = 0; x < width; ++x) {
            int32_t error = grey[x] + current[x] + carry;
            if (error < 128)
                bits[x / 8] |= uint8_t(0x80 >> (x % 8));
            else
                error -= 255;
            const int32_t q = error / 16;
            carry = 7 * q;
            following[x] = int16_t(following[x] + 5 * q);
            if (x > 0) following[x - 1] = int16_t(following[x - 1] + 3 * q);
            if (x + 1 < width) following[x + 1] = int16_t(following[x + 1] + q);
        }
        std::swap(current, following);
    }
    return bitmap.release();
}

void CvGrayscaleImage::BoundingRect(CvRect* out, uint8_t value) const {
    uint32_t left = width / 2, right = width / 2, top = height / 2, bottom = height / 2;
    CvPixelLock lock(*this);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = lock.Row(y);
        uint32_t first = 0;
        while (first < width && row[first] == value) ++first;
        if (first == width) continue;
        uint32_t last = width - 1;
        while (row[last] == value) --last;
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
        left = std::min(left, first);
        right = std::max(right, last + 1);
    }
    if (top != bottom && left != right)
        *out = CvRect{left, top, bottom, right};
    else
        *out = CvRect{0, 0, 0, 0};
}
