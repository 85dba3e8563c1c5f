// 24-bit colour raster: three bytes R, G, B per pixel, the form in which sources reach the reduction engine.
// Clear paints the fill colour; every new image an operation returns is a CvRGBImage owned by the caller.
#pragma once

#include "cvcode2/CvRealImage.h"

class CvBitmapImage;

class CvRGBImage : public CvRealImage {
public:
    explicit CvRGBImage(uint32_t width, uint32_t height, CvRowBytesFunction rowBytesFunction = nullptr,
                        CvBaseBuffer* buffer = nullptr, bool clear = true);
    CvRGBImage(const CvRGBImage& from, CvRowBytesFunction rowBytesFunction, CvBaseBuffer* buffer);

    CvImage* Clone() const override;
    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    CvImage* Rotate(float angle) const override;
    CvImage* Rotate(float angle, uint32_t fill) const override;
    CvImage* Resize(uint32_t width, uint32_t height) const override;
    CvRealImage* NewImage(const CvRect& rect) const override;
    void Clear() override;
    virtual CvRGBImage* Rotate90(float angle) const;

    void CopyFrom(const CvImage& from);
    // Every pixel whose raw mask bit is 1 becomes `color` (R, G, B; white when null). The mask has this size.
    void PaintMasked(const CvBitmapImage* mask, const uint8_t* color);
    void SetFillColor(uint8_t r, uint8_t g, uint8_t b);
    const uint8_t* FillColor() const { return fillColor; }

private:
    uint8_t fillColor[3] = {0, 0, 0};
};
