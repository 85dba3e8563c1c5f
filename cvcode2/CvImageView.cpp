// The refusals of pixel-less images: each unsupported operation raises kCvErrNotSupported and changes nothing.
// Kept in one place so every view refuses alike.
#include "cvcode2/CvImageView.h"

#include "cvcode2/CvErrorCode.h"

CvImage* CvImageView::Clone() const {
    CV_THROW(kCvErrNotSupported);
}
CvImage* CvImageView::CopyRect(const CvRect&) const {
    CV_THROW(kCvErrNotSupported);
}
void CvImageView::Paste(const CvPoint*, const CvImage*) {
    CV_THROW(kCvErrNotSupported);
}
CvImage* CvImageView::Rotate(float) const {
    CV_THROW(kCvErrNotSupported);
}
CvImage* CvImageView::Rotate(float, uint32_t) const {
    CV_THROW(kCvErrNotSupported);
}
CvImage* CvImageView::FlipHorizontal() const {
    CV_THROW(kCvErrNotSupported);
}
CvImage* CvImageView::FlipVertical() const {
    CV_THROW(kCvErrNotSupported);
}
CvImage* CvImageView::Resize(uint32_t, uint32_t) const {
    CV_THROW(kCvErrNotSupported);
}
void CvImageView::GetRGBBlended(float, const CvImage*, CV_RECT_UNNAMED, CV_DST_UNNAMED) const {
    CV_THROW(kCvErrNotSupported);
}
void CvImageView::GetRGBBlended(float, CV_RECT_UNNAMED, CV_DST_UNNAMED) const {
    CV_THROW(kCvErrNotSupported);
}
void CvImageView::MaskRGB(CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
void CvImageView::BlendRGB(float, CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
void CvImageView::BlendRGBMasked(float, CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
