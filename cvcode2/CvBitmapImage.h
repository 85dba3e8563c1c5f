// 1-bit raster, most significant bit first: the transparency mask of a frame. A mask lets pixels through where
// it is white; the polarity says which bit value is black (1 when constructed: a set bit is black).
#pragma once

#include "cvcode2/CvRealImage.h"

class CvIndexedImage;

class CvBitmapImage : public CvRealImage {
public:
    // With `clear` the bitmap starts all black.
    explicit CvBitmapImage(uint32_t width, uint32_t height, CvRowBytesFunction rowBytesFunction = nullptr,
                           CvBaseBuffer* buffer = nullptr, bool clear = true);
    CvBitmapImage(const CvBitmapImage& from, CvRowBytesFunction rowBytesFunction, CvBaseBuffer* buffer);

    CvImage* Clone() const override;
    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    CvImage* Rotate(float angle) const override;
    // `fill` 0 is black, anything else white.
    CvImage* Rotate(float angle, uint32_t fill) const override;
    CvImage* Resize(uint32_t width, uint32_t height) const override;
    CvRealImage* NewImage(const CvRect& rect) const override;
    void CheckPasteSource(const CvPoint* at, const CvImage* src) const override;
    void MaskRGB1(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const override;
    void BlendRGBMasked(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                        const uint8_t* src) const override;
    void Clear() override;
    virtual CvBitmapImage* Rotate90(float angle) const;

    void CopyFrom(const CvImage& from);
    // A two-entry indexed image that looks the same: index = bit, entry `polarity` black, the other white.
    CvIndexedImage* ToIndexed() const;

    uint8_t Polarity() const { return polarity; }
    void SetPolarity(uint8_t value) { polarity = value; }
    uint32_t FillColor() const { return fillColor; }
    void SetFillColor(uint32_t value) { fillColor = value; }
    bool IsWhite(uint32_t x, uint32_t y) const;

private:
    // Rotations and resizing by way of grey: 0 black, 255 white, and back with white from 128 up.
    void ToGrey(CvRealImage& grey) const;
    void FromGrey(const CvRealImage& grey);
    template <uint16_t FixedBytes, uint16_t R, uint16_t G, uint16_t B, bool Blend>
    void MaskRows(const CvRect& rect, const CvDstLayout& out, uint32_t srcRowBytes, const uint8_t* src,
                  int32_t weight) const;
    template <bool Blend>
    void MaskDispatch(const CvRect& rect, const CvDstLayout& out, uint32_t srcRowBytes, const uint8_t* src,
                      int32_t weight) const;

    uint32_t fillColor = 0;
    uint8_t polarity = 1;
};
