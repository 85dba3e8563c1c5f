// The common ground of images that hold no pixels and compute their RGB from other images on request.
// Only sizing, format info, block size and reading are offered; every other operation raises kCvErrNotSupported.
#pragma once

#include "cvcode2/CvImage.h"

class CvImageView : public CvImage {
public:
    CvImageView() : CvImage(0, 0, kCvKindGeneric) {}

    CvImage* Clone() const override;
    CvImage* CopyRect(const CvRect& rect) const override;
    void Paste(const CvPoint* at, const CvImage* src) override;
    CvImage* Rotate(float angle) const override;
    CvImage* Rotate(float angle, uint32_t fill) const override;
    CvImage* FlipHorizontal() const override;
    CvImage* FlipVertical() const override;
    CvImage* Resize(uint32_t width, uint32_t height) const override;
    void GetRGBBlended(float opacity, const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void GetRGBBlended(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void MaskRGB(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const override;
    void BlendRGB(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                  const uint8_t* src) const override;
    void BlendRGBMasked(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                        const uint8_t* src) const override;
};
