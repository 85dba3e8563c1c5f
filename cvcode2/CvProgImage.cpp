// The ready line splits every request: rows above it come from the source, rows from it down get the placeholder.
// Rows above the ready line are never painted over.
#include "cvcode2/CvProgImage.h"

#include <algorithm>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"

CvProgImage::CvProgImage(const CvImage* newSource) {
    SetSource(newSource);
    rowsReady = 0;
}

void CvProgImage::SetSource(const CvImage* newSource) {
    source = newSource;
    if (!source) rowsReady = 0;
    SetSize(source ? source->GetWidth() : 0, source ? source->GetHeight() : 0);
    rowsReady = std::min(rowsReady, height);
}

void CvProgImage::SetRowsReady(uint32_t rows) {
    CV_ASSERT(rows <= height);
    rowsReady = std::min(rows, height);
}

void CvProgImage::SetPlaceholder(uint8_t r, uint8_t g, uint8_t b) {
    placeholder[0] = r;
    placeholder[1] = g;
    placeholder[2] = b;
}

void CvProgImage::GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    if (source && rowsReady && rect.top < rowsReady)
        source->GetRGB(rect.left, rect.top, std::min(rect.bottom, rowsReady), rect.right, dstX, dstY, dstRowBytes,
                       dstPixelBytes, rOffset, gOffset, bOffset, dst);
    if (rect.bottom > rowsReady)
        PaintPending(nullptr, rect.left, rect.top, rect.bottom, rect.right, dstX, dstY, dstRowBytes, dstPixelBytes,
                     rOffset, gOffset, bOffset, dst);
}

void CvProgImage::GetRGBMasked(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    if (!mask) CV_THROW(kCvErrBadArgument);
    if (mask->GetWidth() != width || mask->GetHeight() != height) CV_THROW(kCvErrSizeMismatch);
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    if (source && rowsReady && rect.top < rowsReady)
        source->GetRGBMasked(mask, rect.left, rect.top, std::min(rect.bottom, rowsReady), rect.right, dstX, dstY,
                             dstRowBytes, dstPixelBytes, rOffset, gOffset, bOffset, dst);
    if (rect.bottom > rowsReady)
        PaintPending(mask, rect.left, rect.top, rect.bottom, rect.right, dstX, dstY, dstRowBytes, dstPixelBytes,
                     rOffset, gOffset, bOffset, dst);
}

void CvProgImage::PaintPending(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height) || rect.bottom <= rowsReady) return;
    const uint32_t first = std::max(rect.top, rowsReady);
    const CvDstLayout out =
        CvDstLayout{dstX, dstY, dstRowBytes, dstPixelBytes, rOffset, gOffset, bOffset, dst}.Moved(0, first - rect.top);
    if (mask) {
        mask->MaskColor(placeholder, rect.left, first, rect.bottom, rect.right, CV_DST_ARGS(out));
        return;
    }
    for (uint32_t j = 0; j < rect.bottom - first; ++j) {
        uint8_t* d = out.At(0, j);
        for (uint32_t i = 0; i < rect.Width(); ++i, d += out.pixelBytes) {
            d[out.rOffset] = placeholder[0];
            d[out.gOffset] = placeholder[1];
            d[out.bOffset] = placeholder[2];
        }
    }
}
