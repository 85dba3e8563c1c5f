// The raster base: pixels in one lockable block of height x row bytes, format as bits per sample and samples per
// pixel. Implements everything that does not depend on the colour model; the buffer is never null after construction.
#pragma once

#include <new>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvImage.h"

class CvRealImage;

using CvRowBytesFunction = uint32_t (*)(const CvRealImage* image, uint16_t bitsPerSample, uint16_t samplesPerPixel,
                                        uint32_t width, uint32_t height);

// Rows packed with no padding: (bits / 8) x samples x width bytes, or (samples x width + 7) / 8 for 1 bit.
// A row that no 32-bit size can describe raises kCvErrSizeMismatch.
uint32_t CvDefaultRowBytes(const CvRealImage* image, uint16_t bitsPerSample, uint16_t samplesPerPixel, uint32_t width,
                           uint32_t height);

class CvRealImage : public CvImage {
public:
    // A null buffer gets a new CvBuffer, a null function the default row bytes. The image owns the buffer.
    CvRealImage(uint32_t width, uint32_t height, uint16_t bitsPerSample, uint16_t samplesPerPixel,
                CvRowBytesFunction rowBytesFunction, CvBaseBuffer* buffer, uint32_t kind, bool clear);
    ~CvRealImage() override;

    CvImage* Clone() const override;
    void SetSize(uint32_t width, uint32_t height) override;
    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    CvImage* CopyRect(const CvRect& rect) const override;
    void Paste(const CvPoint* at, const CvImage* src) override;
    CvImage* Rotate(float angle) const override;
    CvImage* Rotate(float angle, uint32_t fill) const override;
    CvImage* FlipHorizontal() const override;
    CvImage* FlipVertical() const override;
    CvImage* Resize(uint32_t width, uint32_t height) const override;
    void GetRGBMasked(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void GetRGBBlended(float opacity, const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void GetRGBBlended(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void MaskRGB(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const override;
    void BlendRGB(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                  const uint8_t* src) const override;
    void BlendRGBMasked(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                        const uint8_t* src) const override;
    void Reset() override;

    virtual CvRealImage* NewImage(const CvRect& rect) const;
    virtual void CheckPasteSource(const CvPoint* at, const CvImage* src) const;
    virtual void MaskRGB1(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const;
    virtual void MaskRGB8(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const;
    virtual void MaskRGB16(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const;
    virtual void Clear();
    virtual void AllocPixels();
    virtual void FreePixels();
    virtual uint32_t GetRowBytes() const;

    uint8_t* LockPixels() const;
    void UnlockPixels() const;
    bool HasPixels() const;
    uint16_t BitsPerSample() const { return bitsPerSample; }
    uint16_t SamplesPerPixel() const { return samplesPerPixel; }
    uint32_t RowBytes() const { return rowBytes; }
    CvBaseBuffer* Buffer() const { return buffer; }
    bool IsLocked() const;

    // Copies a rectangle between two raster blocks of one format; both rectangles have the same size.
    // 1-bit rows move bit by bit at any alignment, others as whole rows.
    static void CopyPixels(uint16_t bitsPerSample, uint16_t samplesPerPixel, uint32_t srcRowBytes, uint32_t dstRowBytes,
                           const CvRect* srcRect, const CvRect* dstRect, const uint8_t* src, uint8_t* dst);

protected:
    // A new buffer of the same class as this image's, or a CvBuffer when the class makes none.
    CvBaseBuffer* NewBufferLikeMine() const;
    // Runs make(buffer) with a buffer from NewBufferLikeMine (how resized images get storage of the same kind);
    // make allocates without throwing, and when it gives null the buffer is deleted and 2 raised.
    template <class Make>
    auto WithBufferLikeMine(Make make) const -> decltype(make(nullptr)) {
        CvBaseBuffer* fresh = NewBufferLikeMine();
        auto* image = make(fresh);
        if (!image) {
            DeleteBuffer(fresh);
            CV_THROW(kCvErrNoMemory);
        }
        return image;
    }
    static void DeleteBuffer(CvBaseBuffer* buffer);
    // Quarter turns of Rotate90: d = 1 - trunc(angle x -57.295776), made non-negative, mod 360, / 90.
    static uint32_t QuarterTurns(float angle);
    // Writes this image turned by `turns` counter-clockwise quarter turns into `out` (sized and allocated already).
    void RotateQuarterInto(CvRealImage& out, uint32_t turns) const;
    // True when the angle is a multiple of 90 degrees (sine or cosine of magnitude above 0.99999).
    static bool IsRightAngle(float angle);
    // Size of the image holding this one rotated by `angle`.
    void RotatedSize(float angle, uint32_t& outWidth, uint32_t& outHeight) const;
    // Rotates the 8-bit samples of this image into `out` (sized to RotatedSize) about the centres, counter-clockwise,
    // bilinear inside and `fill` (one byte per sample) where no source pixel is under the destination pixel.
    void RotateSamplesInto(CvRealImage& out, float angle, const uint8_t* fill) const;

    CvBaseBuffer* buffer;
    uint16_t bitsPerSample;
    uint16_t samplesPerPixel;
    uint32_t rowBytes;
    CvRowBytesFunction rowBytesFunction;
};

// Holds LockPixels for a scope.
class CvPixelLock {
public:
    explicit CvPixelLock(const CvRealImage& image) : image_(image), pixels_(image.LockPixels()) {}
    ~CvPixelLock() { image_.UnlockPixels(); }
    CvPixelLock(const CvPixelLock&) = delete;
    CvPixelLock& operator=(const CvPixelLock&) = delete;
    uint8_t* Pixels() const { return pixels_; }
    uint8_t* Row(uint32_t y) const { return pixels_ + size_t(y) * image_.RowBytes(); }

private:
    const CvRealImage& image_;
    uint8_t* pixels_;
};
