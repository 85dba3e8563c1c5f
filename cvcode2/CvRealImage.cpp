// Raster storage and the colour-model-free operations: sizing, copying, pasting, flipping, masking dispatch,
// blending and the geometry shared by the rotations. Every pixel access holds a lock released on every way out.
#include "cvcode2/CvRealImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "cvcode2/CvBuffer.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFlip.h"
#include "cvcode2/CvLog.h"

uint32_t CvDefaultRowBytes(const CvRealImage*, uint16_t bitsPerSample, uint16_t samplesPerPixel, uint32_t width,
                           uint32_t) {
    const uint64_t bytes = (bitsPerSample == 8 || bitsPerSample == 16)
                               ? uint64_t(bitsPerSample / 8) * samplesPerPixel * width
                               : (uint64_t(samplesPerPixel) * width + 7) / 8;
    if (bytes > UINT32_MAX) CV_THROW(kCvErrSizeMismatch);
    return uint32_t(bytes);
}

CvRealImage::CvRealImage(uint32_t w, uint32_t h, uint16_t bits, uint16_t samples, CvRowBytesFunction function,
                         CvBaseBuffer* pixelBuffer, uint32_t k, bool clear)
    : CvImage(w, h, k),
      buffer(pixelBuffer),
      bitsPerSample(bits),
      samplesPerPixel(samples),
      rowBytes(0),
      rowBytesFunction(function ? function : CvDefaultRowBytes) {
    try {
        // A buffer of our own comes zero-filled, which is what clearing makes: writing the zeros again would only
        // touch every page of a large image before anything needs it.
        const bool zeroFilled = !buffer;
        if (!buffer) {
            buffer = CvAllocated(new (std::nothrow) CvBuffer);
        }
        AllocPixels();
        if (clear && !zeroFilled) CvRealImage::Clear();
    } catch (const CvErrorCode& error) {
        if (buffer && buffer->IsAllocated()) buffer->Free();
        delete buffer;
        CV_RETHROW(error);
    }
}

CvRealImage::~CvRealImage() {
    if (buffer && buffer->IsAllocated()) FreePixels();
    delete buffer;
}

void CvRealImage::Reset() {
    CvImage::Reset();
    buffer = nullptr;
    bitsPerSample = samplesPerPixel = 0;
    rowBytes = 0;
}

uint8_t* CvRealImage::LockPixels() const {
    return buffer->Lock();
}
void CvRealImage::UnlockPixels() const {
    buffer->Unlock();
}
bool CvRealImage::IsLocked() const {
    return buffer && buffer->LockCount() > 0;
}

bool CvRealImage::HasPixels() const {
    return buffer && width && height && buffer->IsAllocated();
}

uint32_t CvRealImage::GetRowBytes() const {
    return rowBytesFunction(this, bitsPerSample, samplesPerPixel, width, height);
}

void CvRealImage::AllocPixels() {
    const uint32_t newRowBytes = GetRowBytes();
    const uint64_t size = uint64_t(newRowBytes) * height;
    // Buffers take 32-bit sizes: a block no buffer can describe cannot be allocated.
    if (size > UINT32_MAX) CV_THROW(kCvErrNoMemory);
    rowBytes = newRowBytes;
    if (!buffer) {
        buffer = CvAllocated(new (std::nothrow) CvBuffer);
    }
    if (buffer->IsAllocated()) {
        if (buffer->GetSize() == size) return;
        FreePixels();
    }
    buffer->Allocate(uint32_t(size));
}

void CvRealImage::FreePixels() {
    if (!buffer->IsAllocated()) return;
    while (buffer->LockCount() > 0) buffer->Unlock();
    buffer->Free();
}

CvBaseBuffer* CvRealImage::NewBufferLikeMine() const {
    try {
        return buffer->NewBuffer();
    } catch (const CvErrorCode& error) {
        if (error.code != kCvErrNotSupported) CV_RETHROW(error);
    }
    CvBaseBuffer* fresh = CvAllocated(new (std::nothrow) CvBuffer);
    return fresh;
}

void CvRealImage::DeleteBuffer(CvBaseBuffer* doomed) {
    delete doomed;
}

void CvRealImage::SetSize(uint32_t w, uint32_t h) {
    if (w == width && h == height) return;
    // Someone holding the pixels would keep writing into the freed block.
    if (IsLocked()) CV_THROW(kCvErrSizeMismatch);
    CvBaseBuffer* oldBuffer = buffer;
    const uint32_t oldWidth = width, oldHeight = height, oldRowBytes = rowBytes;
    CvBaseBuffer* fresh = NewBufferLikeMine();
    width = w;
    height = h;
    buffer = fresh;
    try {
        AllocPixels();
    } catch (const CvErrorCode& error) {
        delete fresh;
        buffer = oldBuffer;
        width = oldWidth;
        height = oldHeight;
        rowBytes = oldRowBytes;
        CV_RETHROW(error);
    }
    if (oldBuffer->IsAllocated()) oldBuffer->Free();
    delete oldBuffer;
}

void CvRealImage::Clear() {
    if (!HasPixels()) return;
    CvPixelLock lock(*this);
    std::memset(lock.Pixels(), 0, size_t(rowBytes) * height);
}

CvImage* CvRealImage::Clone() const {
    CV_THROW(kCvErrNotSupported);
}
void CvRealImage::GetRGB(CV_RECT_UNNAMED, CV_DST_UNNAMED) const {}
CvImage* CvRealImage::Rotate(float) const {
    return nullptr;
}
CvImage* CvRealImage::Rotate(float, uint32_t) const {
    return nullptr;
}
CvImage* CvRealImage::Resize(uint32_t, uint32_t) const {
    return nullptr;
}
void CvRealImage::CheckPasteSource(const CvPoint*, const CvImage*) const {}

void CvRealImage::BlendRGBMasked(float, CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
void CvRealImage::MaskRGB1(CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
void CvRealImage::MaskRGB8(CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
void CvRealImage::MaskRGB16(CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}

CvRealImage* CvRealImage::NewImage(const CvRect& rect) const {
    return CvAllocated(new (std::nothrow) CvRealImage(rect.Width(), rect.Height(), bitsPerSample, samplesPerPixel,
                                                      nullptr, nullptr, kCvKindGeneric, true));
}

void CvRealImage::CopyPixels(uint16_t bits, uint16_t samples, uint32_t srcRowBytes, uint32_t dstRowBytes,
                             const CvRect* srcRect, const CvRect* dstRect, const uint8_t* src, uint8_t* dst) {
    const uint32_t w = srcRect->Width(), h = srcRect->Height();
    CV_ASSERT(w == dstRect->Width() && h == dstRect->Height());
    if (bits == 1) {
        for (uint32_t j = 0; j < h; ++j)
            CvFlip::CopyBits(src + size_t(srcRect->top + j) * srcRowBytes, uint64_t(srcRect->left) * samples,
                             dst + size_t(dstRect->top + j) * dstRowBytes, uint64_t(dstRect->left) * samples,
                             uint64_t(w) * samples);
        return;
    }
    // Whole rows of samples; memmove moves them in the widest units the row length and alignment allow.
    const size_t pixelBytes = size_t(bits / 8) * samples;
    const size_t bytes = pixelBytes * w;
    for (uint32_t j = 0; j < h; ++j)
        std::memmove(dst + size_t(dstRect->top + j) * dstRowBytes + dstRect->left * pixelBytes,
                     src + size_t(srcRect->top + j) * srcRowBytes + srcRect->left * pixelBytes, bytes);
}

CvImage* CvRealImage::CopyRect(const CvRect& requested) const {
    CvRect rect = requested;
    ClipRect(rect, width, height);
    std::unique_ptr<CvRealImage> copy(NewImage(rect));
    {
        CvPixelLock from(*this);
        CvPixelLock to(*copy);
        const CvRect target{0, 0, rect.Height(), rect.Width()};
        CopyPixels(bitsPerSample, samplesPerPixel, rowBytes, copy->RowBytes(), &rect, &target, from.Pixels(),
                   to.Pixels());
    }
    copy->CopyFormatInfo(this);
    return copy.release();
}

void CvRealImage::Paste(const CvPoint* at, const CvImage* src) {
    const auto* source = dynamic_cast<const CvRealImage*>(src);
    const bool sameFormat = source && source->Kind() == kind && source->bitsPerSample == bitsPerSample &&
                            source->samplesPerPixel == samplesPerPixel;
    CV_ASSERT(at && sameFormat);
    if (!at || !sameFormat) return;
    CheckPasteSource(at, src);
    // A source that does not fit is a caller error: checked, then only the part inside this image is copied.
    CvRect target{at->x, at->y, uint32_t(std::min<uint64_t>(uint64_t(at->y) + source->height, UINT32_MAX)),
                  uint32_t(std::min<uint64_t>(uint64_t(at->x) + source->width, UINT32_MAX))};
    if (!ClipRect(target, width, height)) return;
    const CvRect from{0, 0, target.Height(), target.Width()};
    CvPixelLock in(*source);
    CvPixelLock out(*this);
    CopyPixels(bitsPerSample, samplesPerPixel, source->rowBytes, rowBytes, &from, &target, in.Pixels(), out.Pixels());
}

CvImage* CvRealImage::FlipHorizontal() const {
    std::unique_ptr<CvImage> clone(Clone());
    auto& image = static_cast<CvRealImage&>(*clone);
    CvPixelLock lock(image);
    if (bitsPerSample == 1) {
        CV_ASSERT(samplesPerPixel == 1);
        CvFlip::FlipBits(lock.Pixels(), rowBytes, width * samplesPerPixel, height);
    } else {
        CvFlip::FlipPixels(lock.Pixels(), uint32_t(bitsPerSample / 8) * samplesPerPixel, rowBytes, width, height);
    }
    return clone.release();
}

CvImage* CvRealImage::FlipVertical() const {
    std::unique_ptr<CvImage> clone(Clone());
    auto& image = static_cast<CvRealImage&>(*clone);
    CvPixelLock lock(image);
    CvFlip::FlipRows(lock.Pixels(), 1, rowBytes, rowBytes, height);
    return clone.release();
}

void CvRealImage::GetRGBMasked(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    TransferByTiles(TileStep::Mask, 0.0f, mask, CvRect{left, top, bottom, right}, CV_DST_LAYOUT);
}

void CvRealImage::GetRGBBlended(float opacity, const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    TransferByTiles(TileStep::Blend, opacity, mask, CvRect{left, top, bottom, right}, CV_DST_LAYOUT);
}

void CvRealImage::GetRGBBlended(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    GetRGBBlended(opacity, nullptr, left, top, bottom, right, dstX, dstY, dstRowBytes, dstPixelBytes, rOffset, gOffset,
                  bOffset, dst);
}

void CvRealImage::MaskRGB(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const {
    switch (bitsPerSample) {
        case 1:
            MaskRGB1(left, top, bottom, right, dstX, dstY, dstRowBytes, dstPixelBytes, rOffset, gOffset, bOffset, dst,
                     srcRowBytes, src);
            break;
        case 8:
            MaskRGB8(left, top, bottom, right, dstX, dstY, dstRowBytes, dstPixelBytes, rOffset, gOffset, bOffset, dst,
                     srcRowBytes, src);
            break;
        case 16:
            MaskRGB16(left, top, bottom, right, dstX, dstY, dstRowBytes, dstPixelBytes, rOffset, gOffset, bOffset, dst,
                      srcRowBytes, src);
            break;
        default: CV_THROW(kCvErrBadDepth);
    }
}

void CvRealImage::BlendRGB(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                           const uint8_t* src) const {
    if (!dst || !src) CV_THROW(kCvErrBadArgument);
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    const int32_t a = OpacityWeight(opacity);
    for (uint32_t j = 0; j < rect.Height(); ++j) {
        const uint8_t* s = src + size_t(j) * srcRowBytes;
        uint8_t* d = out.At(0, j);
        for (uint32_t i = 0; i < rect.Width(); ++i, s += 3, d += out.pixelBytes) {
            d[out.rOffset] = BlendChannel(d[out.rOffset], s[0], a);
            d[out.gOffset] = BlendChannel(d[out.gOffset], s[1], a);
            d[out.bOffset] = BlendChannel(d[out.bOffset], s[2], a);
        }
    }
}

uint32_t CvRealImage::QuarterTurns(float angle) {
    // Stored through a volatile float so x87 builds round the product to 32 bits exactly like SSE builds do.
    volatile float product = angle * -57.295776f;
    const float degrees = product;
    int64_t d = 1 - int64_t(std::trunc(degrees));
    if (d < 0) d += ((-d + 359) / 360) * 360;
    return uint32_t((d % 360) / 90);
}

bool CvRealImage::IsRightAngle(float angle) {
    return std::fabs(std::sin(angle)) > 0.99999 || std::fabs(std::cos(angle)) > 0.99999;
}

void CvRealImage::RotateQuarterInto(CvRealImage& out, uint32_t turns) const {
    // Destination pixel (x, y) reads source pixel (sx, sy); one turn is counter-clockwise.
    CvPixelLock in(*this);
    CvPixelLock to(out);
    const uint32_t outWidth = out.GetWidth(), outHeight = out.GetHeight();
    const size_t pixelBytes = size_t(bitsPerSample / 8) * samplesPerPixel;
    for (uint32_t y = 0; y < outHeight; ++y) {
        uint8_t* row = to.Row(y);
        for (uint32_t x = 0; x < outWidth; ++x) {
            uint32_t sx = x, sy = y;
            switch (turns & 3) {
                case 1: sx = width - 1 - y, sy = x; break;
                case 2: sx = width - 1 - x, sy = height - 1 - y; break;
                case 3: sx = y, sy = height - 1 - x; break;
                default: break;
            }
            const uint8_t* source = in.Row(sy);
            if (bitsPerSample == 1) {
                const bool bit = (source[sx / 8] & (0x80 >> (sx % 8))) != 0;
                const uint8_t mask = uint8_t(0x80 >> (x % 8));
                row[x / 8] = uint8_t(bit ? row[x / 8] | mask : row[x / 8] & ~mask);
            } else {
                std::memcpy(row + x * pixelBytes, source + sx * pixelBytes, pixelBytes);
            }
        }
    }
}

void CvRealImage::RotatedSize(float angle, uint32_t& outWidth, uint32_t& outHeight) const {
    if (width == 0 || height == 0) {  // nothing to turn: an empty result, and no sampling of absent pixels
        outWidth = outHeight = 0;
        return;
    }
    const double c = std::fabs(std::cos(double(angle))), s = std::fabs(std::sin(double(angle)));
    const double w = std::ceil(width * c + height * s - 1e-6), h = std::ceil(width * s + height * c - 1e-6);
    if (w > double(UINT32_MAX) || h > double(UINT32_MAX)) CV_THROW(kCvErrNoMemory);
    outWidth = std::max(uint32_t(w), 1u);
    outHeight = std::max(uint32_t(h), 1u);
}

void CvRealImage::RotateSamplesInto(CvRealImage& out, float angle, const uint8_t* fill) const {
    // 16.16 fixed point after the one sine and cosine, so the sampling itself is integer arithmetic.
    const int64_t cs = std::llround(std::cos(double(angle)) * 65536.0);
    const int64_t sn = std::llround(std::sin(double(angle)) * 65536.0);
    const uint32_t samples = samplesPerPixel;
    const int64_t maxX = int64_t(width - 1) << 16, maxY = int64_t(height - 1) << 16;
    CvPixelLock in(*this);
    CvPixelLock to(out);
    const int64_t outWidth = out.GetWidth(), outHeight = out.GetHeight();
    for (int64_t y = 0; y < outHeight; ++y) {
        uint8_t* row = to.Row(uint32_t(y));
        const int64_t dy2 = 2 * y + 1 - outHeight;  // offsets from the centre in half pixels
        for (int64_t x = 0; x < outWidth; ++x) {
            const int64_t dx2 = 2 * x + 1 - outWidth;
            const int64_t fx = (dx2 * cs - dy2 * sn + maxX) / 2;
            const int64_t fy = (dx2 * sn + dy2 * cs + maxY) / 2;
            uint8_t* d = row + size_t(x) * samples;
            if (fx < -32768 || fy < -32768 || fx > maxX + 32768 || fy > maxY + 32768) {
                std::memcpy(d, fill, samples);
                continue;
            }
            const int64_t cx = std::clamp<int64_t>(fx, 0, maxX), cy = std::clamp<int64_t>(fy, 0, maxY);
            const uint32_t x0 = uint32_t(cx >> 16), y0 = uint32_t(cy >> 16);
            const uint32_t x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
            const uint32_t tx = uint32_t(cx & 0xFFFF) >> 8, ty = uint32_t(cy & 0xFFFF) >> 8;
            const uint8_t* r0 = in.Row(y0);
            const uint8_t* r1 = in.Row(y1);
            for (uint32_t c = 0; c < samples; ++c) {
                const uint32_t v = r0[x0 * samples + c] * (256 - tx) * (256 - ty) +
                                   r0[x1 * samples + c] * tx * (256 - ty) + r1[x0 * samples + c] * (256 - tx) * ty +
                                   r1[x1 * samples + c] * tx * ty;
                d[c] = uint8_t((v + 32768) >> 16);
            }
        }
    }
}
