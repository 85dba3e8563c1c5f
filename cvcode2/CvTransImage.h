// An image shown through a transparency mask over the checkerboard, so transparent areas show as such.
// Refers to its image and mask without owning them; the checkerboard is anchored at the image's origin.
#pragma once

#include "cvcode2/CvImageView.h"

class CvPattern;

class CvTransImage : public CvImageView {
public:
    CvTransImage();

    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void GetRGBMasked(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    virtual void SetImage(const CvImage* image);
    virtual void SetMask(const CvImage* mask);
    // Stores both (the image must not be null) and takes the image's size.
    virtual void Set(const CvImage* image, const CvImage* mask);

    const CvImage* Image() const { return image; }
    const CvImage* Mask() const { return mask; }

private:
    const CvImage* image = nullptr;
    const CvImage* mask = nullptr;
    const CvPattern* pattern;
};
