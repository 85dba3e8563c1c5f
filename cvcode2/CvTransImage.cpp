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
    uint32_t tileWidth, tileHeight;
    TileSize(rect, tileWidth, tileHeight);
    CvTempBuffer tile(uint64_t(tileWidth) * tileHeight * 3);
    const uint32_t tileRowBytes = tileWidth * 3;
    for (uint32_t y = rect.top; y < rect.bottom; y += std::min(tileHeight, rect.bottom - y)) {
        const uint32_t h = std::min(tileHeight, rect.bottom - y);
        for (uint32_t x = rect.left; x < rect.right; x += std::min(tileWidth, rect.right - x)) {
            const uint32_t w = std::min(tileWidth, rect.right - x);
            pattern->Fill(tile.Data(), w, h, tileRowBytes, x, y);
            image->GetRGBMasked(mask, x, y, y + h, x + w, 0, 0, tileRowBytes, 3, 0, 1, 2, tile.Data());
            for (uint32_t j = 0; j < h; ++j) {
                const uint8_t* s = tile.Data() + size_t(j) * tileRowBytes;
                uint8_t* d = out.At(x - rect.left, y - rect.top + j);
                for (uint32_t i = 0; i < w; ++i, s += 3, d += out.pixelBytes) {
                    d[out.rOffset] = s[0];
                    d[out.gOffset] = s[1];
                    d[out.bOffset] = s[2];
                }
            }
        }
    }
}

void CvTransImage::GetRGBMasked(const CvImage* through, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    TransferByTiles(TileStep::Mask, 0.0f, through, CvRect{left, top, bottom, right}, CV_DST_LAYOUT);
}
