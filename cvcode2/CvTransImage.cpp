// Checkerboard composition: each tile is filled from the pattern at the tile's image position, the image is
// masked over it, and the tile is copied out in the caller's layout. One tile of scratch memory per call.
#include "cvcode2/CvTransImage.h"

#include <algorithm>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvPattern.h"
#include "cvcode2/CvTempBuffer.h"

CvTransImage::CvTransImage() : pattern(&CvPattern::Default()) {}

void CvTransImage::SetImage(const CvImage* newImage) {
    Set(newImage, mask);
}
void CvTransImage::SetMask(const CvImage* newMask) {
    Set(image, newMask);
}

void CvTransImage::Set(const CvImage* newImage, const CvImage* newMask) {
    CV_ASSERT(newImage);
    image = newImage;
    mask = newMask;
    SetSize(image ? image->GetWidth() : 0, image ? image->GetHeight() : 0);
}

void CvTransImage::GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CV_ASSERT(image && mask);
    if (!image || !mask) return;
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    ForEachTile(rect, [&](const CvRect& tile, uint8_t* pixels, uint32_t rowBytes) {
        pattern->Fill(pixels, tile.Width(), tile.Height(), rowBytes, tile.left, tile.top);
        image->GetRGBMasked(mask, CV_RECT_ARGS(tile), 0, 0, rowBytes, 3, 0, 1, 2, pixels);
        for (uint32_t j = 0; j < tile.Height(); ++j) {
            const uint8_t* s = pixels + size_t(j) * rowBytes;
            uint8_t* d = out.At(tile.left - rect.left, tile.top - rect.top + j);
            for (uint32_t i = 0; i < tile.Width(); ++i, s += 3, d += out.pixelBytes) {
                d[out.rOffset] = s[0];
                d[out.gOffset] = s[1];
                d[out.bOffset] = s[2];
            }
        }
    });
}

void CvTransImage::GetRGBMasked(const CvImage* through, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    TransferByTiles(TileStep::Mask, 0.0f, through, CvRect{left, top, bottom, right}, CV_DST_LAYOUT);
}
