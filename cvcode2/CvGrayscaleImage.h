// 8-bit grey raster: grayscale sources and the transparency planes that become 1-bit masks.
// The black value is 0 (0 black, 255 white) or 255 (inverted scale); every reading honours it.
#pragma once

#include "cvcode2/CvRealImage.h"

class CvBitmapImage;

class CvGrayscaleImage : public CvRealImage {
public:
    explicit CvGrayscaleImage(uint32_t width, uint32_t height, uint8_t fillValue = 0, uint8_t blackValue = 0,
                              CvRowBytesFunction rowBytesFunction = nullptr, CvBaseBuffer* buffer = nullptr,
                              bool clear = true);
    CvGrayscaleImage(const CvGrayscaleImage& from, CvRowBytesFunction rowBytesFunction, CvBaseBuffer* buffer);

    CvImage* Clone() const override;
    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    CvImage* Rotate(float angle) const override;
    CvImage* Rotate(float angle, uint32_t fill) const override;
    CvImage* Resize(uint32_t width, uint32_t height) const override;
    CvRealImage* NewImage(const CvRect& rect) const override;
    void CheckPasteSource(const CvPoint* at, const CvImage* src) const override;
    void MaskRGB8(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const override;
    void Clear() override;
    virtual CvGrayscaleImage* Rotate90(float angle) const;

    void CopyFrom(const CvImage& from);
    // Error diffusion to a new bitmap of the same size (polarity 1, a set bit is black).
    CvBitmapImage* ToBitmap() const;
    // The smallest rectangle holding every pixel that differs from `value`, grown from the centre; all zero when
    // no pixel differs.
    void BoundingRect(CvRect* out, uint8_t value) const;

    uint8_t FillValue() const { return fillValue; }
    uint8_t BlackValue() const { return blackValue; }
    void SetFillValue(uint8_t value) { fillValue = value; }
    void SetBlackValue(uint8_t value) { blackValue = value; }

private:
    uint8_t fillValue;
    uint8_t blackValue;
};
