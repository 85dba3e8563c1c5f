// The 1-bit raster's colour-model operations and its use as a mask for copies and blends.
// Mask loops read one mask byte per eight pixels and skip runs of black; fixed layouts get their own loops.
#include "cvcode2/CvBitmapImage.h"

#include <cstring>
#include <memory>

#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvResize.h"

CvBitmapImage::CvBitmapImage(uint32_t w, uint32_t h, CvRowBytesFunction function, CvBaseBuffer* pixelBuffer, bool clear)
    : CvRealImage(w, h, 1, 1, function, pixelBuffer, kCvKindGray, clear) {
    if (clear) Clear();
}

CvBitmapImage::CvBitmapImage(const CvBitmapImage& from, CvRowBytesFunction function, CvBaseBuffer* pixelBuffer)
    : CvRealImage(from.width, from.height, 1, 1, function, pixelBuffer, kCvKindGray, false) {
    CopyFrom(from);
}

CvImage* CvBitmapImage::Clone() const {
    std::unique_ptr<CvBitmapImage> clone(
        CvAllocated(new (std::nothrow) CvBitmapImage(0u, 0u, nullptr, nullptr, false)));
    clone->CopyFrom(*this);
    return clone.release();
}

void CvBitmapImage::CopyFrom(const CvImage& from) {
    const auto* source = dynamic_cast<const CvBitmapImage*>(&from);
    CV_ASSERT(source);
    if (!source) return;
    SetSize(source->width, source->height);
    fillColor = source->fillColor;
    polarity = source->polarity;
    const CvPoint origin{0, 0};
    Paste(&origin, source);
    CopyFormatInfo(source);
}

bool CvBitmapImage::IsWhite(uint32_t x, uint32_t y) const {
    CvPixelLock lock(*this);
    const bool set = (lock.Row(y)[x / 8] & (0x80 >> (x % 8))) != 0;
    return set != (polarity == 1);
}

void CvBitmapImage::GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    const uint8_t setValue = polarity == 1 ? 0 : 255;
    CvPixelLock lock(*this);
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* bits = lock.Row(rect.top + j);
        uint8_t* d = out.At(0, j);
        for (uint32_t x = rect.left; x < rect.right; ++x, d += out.pixelBytes) {
            const uint8_t v = (bits[x / 8] & (0x80 >> (x % 8))) ? setValue : uint8_t(255 - setValue);
            d[out.rOffset] = v;
            d[out.gOffset] = v;
            d[out.bOffset] = v;
        }
    }
}

// One loop for copies and blends through the mask. FixedBytes 0 means the layout is read at run time.
template <uint16_t FixedBytes, uint16_t R, uint16_t G, uint16_t B, bool Blend>
void CvBitmapImage::MaskRows(const CvRect& rect, const CvDstLayout& out, uint32_t srcRowBytes, const uint8_t* src,
                             int32_t weight) const {
    const uint16_t pixelBytes = FixedBytes ? FixedBytes : out.pixelBytes;
    const uint16_t r = FixedBytes ? R : out.rOffset, g = FixedBytes ? G : out.gOffset, b = FixedBytes ? B : out.bOffset;
    const uint8_t whiteFlip = polarity == 1 ? 0xFF : 0x00;  // after the flip a set bit means white
    CvPixelLock lock(*this);
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* bits = lock.Row(rect.top + j);
        const uint8_t* s = src + size_t(j) * srcRowBytes;
        uint8_t* d = out.At(0, j);
        const auto pass = [&](uint32_t x) {
            const size_t i = x - rect.left;
            const uint8_t* sp = s + 3 * i;
            uint8_t* dp = d + i * pixelBytes;
            if (Blend) {
                dp[r] = BlendChannel(dp[r], sp[0], weight);
                dp[g] = BlendChannel(dp[g], sp[1], weight);
                dp[b] = BlendChannel(dp[b], sp[2], weight);
            } else {
                dp[r] = sp[0];
                dp[g] = sp[1];
                dp[b] = sp[2];
            }
        };
        uint32_t x = rect.left;
        while (x < rect.right) {
            const uint8_t white = uint8_t(bits[x / 8] ^ whiteFlip);
            if (x % 8 == 0 && x + 8 <= rect.right && (white == 0 || white == 0xFF)) {
                // A whole mask byte of one colour: eight pixels skipped or passed without testing bits.
                if (white)
                    for (uint32_t k = 0; k < 8; ++k) pass(x + k);
                x += 8;
                continue;
            }
            if (white & (0x80 >> (x % 8))) pass(x);
            ++x;
        }
    }
}

template <bool Blend>
void CvBitmapImage::MaskDispatch(const CvRect& rect, const CvDstLayout& out, uint32_t srcRowBytes, const uint8_t* src,
                                 int32_t weight) const {
    const auto is = [&out](uint16_t bytes, uint16_t r, uint16_t g, uint16_t b) {
        return out.pixelBytes == bytes && out.rOffset == r && out.gOffset == g && out.bOffset == b;
    };
    if (is(3, 0, 1, 2))
        MaskRows<3, 0, 1, 2, Blend>(rect, out, srcRowBytes, src, weight);
    else if (is(4, 1, 2, 3))
        MaskRows<4, 1, 2, 3, Blend>(rect, out, srcRowBytes, src, weight);
    else if (is(4, 2, 1, 0))
        MaskRows<4, 2, 1, 0, Blend>(rect, out, srcRowBytes, src, weight);
    else
        MaskRows<0, 0, 0, 0, Blend>(rect, out, srcRowBytes, src, weight);
}

void CvBitmapImage::MaskRGB1(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const {
    if (!dst || !src) CV_THROW(kCvErrBadArgument);
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    MaskDispatch<false>(rect, CV_DST_LAYOUT, srcRowBytes, src, 0);
}

void CvBitmapImage::BlendRGBMasked(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                                   const uint8_t* src) const {
    if (!dst || !src) CV_THROW(kCvErrBadArgument);
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    MaskDispatch<true>(rect, CV_DST_LAYOUT, srcRowBytes, src, OpacityWeight(opacity));
}

void CvBitmapImage::Clear() {
    if (!HasPixels()) return;
    const bool setBits = (polarity == 1 && fillColor == 0) || (polarity == 0 && fillColor == 1);
    CvPixelLock lock(*this);
    std::memset(lock.Pixels(), setBits ? 0xFF : 0x00, size_t(rowBytes) * height);
}

CvRealImage* CvBitmapImage::NewImage(const CvRect& rect) const {
    // The polarity travels with the new bitmap, so raw bits copied into it keep their colours.
    std::unique_ptr<CvBitmapImage> image(
        CvAllocated(new (std::nothrow) CvBitmapImage(rect.Width(), rect.Height(), nullptr, nullptr, false)));
    image->polarity = polarity;
    image->Clear();
    return image.release();
}

void CvBitmapImage::CheckPasteSource(const CvPoint*, const CvImage* src) const {
    const auto* source = dynamic_cast<const CvBitmapImage*>(src);
    if (!source || source->polarity != polarity) CV_THROW(kCvErrSizeMismatch);
}

CvImage* CvBitmapImage::Rotate(float angle) const {
    if (fillColor > 1) CV_THROW(kCvErrSizeMismatch);
    return Rotate(angle, fillColor);
}

void CvBitmapImage::ToGrey(CvRealImage& grey) const {
    CvPixelLock in(*this);
    CvPixelLock out(grey);
    const uint8_t setValue = polarity == 1 ? 0 : 255;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* bits = in.Row(y);
        uint8_t* g = out.Row(y);
        for (uint32_t x = 0; x < width; ++x)
            g[x] = (bits[x / 8] & (0x80 >> (x % 8))) ? setValue : uint8_t(255 - setValue);
    }
}

void CvBitmapImage::FromGrey(const CvRealImage& grey) {
    CvPixelLock in(grey);
    CvPixelLock out(*this);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* g = in.Row(y);
        uint8_t* bits = out.Row(y);
        std::memset(bits, 0, rowBytes);
        for (uint32_t x = 0; x < width; ++x)
            if ((g[x] >= 128) != (polarity == 1)) bits[x / 8] |= uint8_t(0x80 >> (x % 8));
    }
}

CvImage* CvBitmapImage::Rotate(float angle, uint32_t fill) const {
    if (IsRightAngle(angle)) return Rotate90(angle);
    CvGrayscaleImage grey(width, height, 0, 0, nullptr, nullptr, false);
    ToGrey(grey);
    std::unique_ptr<CvImage> turned(grey.Rotate(angle, fill ? 255 : 0));
    const auto& turnedGrey = static_cast<const CvGrayscaleImage&>(*turned);
    std::unique_ptr<CvBitmapImage> rotated(CvAllocated(
        new (std::nothrow) CvBitmapImage(turnedGrey.GetWidth(), turnedGrey.GetHeight(), nullptr, nullptr, false)));
    rotated->polarity = polarity;
    rotated->fillColor = fillColor;
    rotated->FromGrey(turnedGrey);
    return rotated.release();
}

CvBitmapImage* CvBitmapImage::Rotate90(float angle) const {
    if (IsLocked()) CV_THROW(kCvErrSizeMismatch);
    const uint32_t turns = QuarterTurns(angle);
    std::unique_ptr<CvBitmapImage> rotated(CvAllocated(new (std::nothrow) CvBitmapImage(
        turns % 2 ? height : width, turns % 2 ? width : height, nullptr, nullptr, true)));
    rotated->polarity = polarity;
    rotated->fillColor = fillColor;
    RotateQuarterInto(*rotated, turns);
    return rotated.release();
}

CvImage* CvBitmapImage::Resize(uint32_t w, uint32_t h) const {
    CvGrayscaleImage grey(width, height, 0, 0, nullptr, nullptr, false);
    ToGrey(grey);
    CvGrayscaleImage scaled(w, h, 0, 0, nullptr, nullptr, false);
    {
        CvPixelLock in(grey);
        CvPixelLock out(scaled);
        CvResize::ResizeAverage(in.Pixels(), out.Pixels(), 1, 1, 1, grey.RowBytes(), scaled.RowBytes(), width, height,
                                w, h);
    }
    std::unique_ptr<CvBitmapImage> resized(WithBufferLikeMine(
        [&](CvBaseBuffer* fresh) { return new (std::nothrow) CvBitmapImage(w, h, nullptr, fresh, false); }));
    resized->polarity = polarity;
    resized->fillColor = fillColor;
    resized->FromGrey(scaled);
    resized->CopyFormatInfo(this);
    return resized.release();
}

CvIndexedImage* CvBitmapImage::ToIndexed() const {
    CvColorTable table(2);
    table.SetEntry(polarity == 1 ? 0 : 1, 255, 255, 255);
    std::unique_ptr<CvIndexedImage> indexed(
        CvAllocated(new (std::nothrow) CvIndexedImage(width, height, &table, nullptr, nullptr, false)));
    CvPixelLock in(*this);
    CvPixelLock out(*indexed);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* bits = in.Row(y);
        uint8_t* index = out.Row(y);
        for (uint32_t x = 0; x < width; ++x) index[x] = (bits[x / 8] >> (7 - x % 8)) & 1;
    }
    return indexed.release();
}
