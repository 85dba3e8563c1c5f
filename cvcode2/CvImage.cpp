// The image interface's own behaviour: size, block size, format info, the block-wise transfers and image lists.
// Block-wise transfers hold at most one tile of scratch memory, whatever the rectangle's size.
#include "cvcode2/CvImage.h"

#include <algorithm>
#include <cstring>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvImgFmtInfo.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvTempBuffer.h"

CvImage::CvImage(uint32_t w, uint32_t h, uint32_t k)
    : kind(k), width(w), height(h), formatInfo(nullptr), blockWidth(100), blockHeight(100) {}

CvImage::~CvImage() {
    delete formatInfo;
}

void CvImage::Reset() {
    width = height = 0;
    formatInfo = nullptr;
    blockWidth = blockHeight = 100;
}

void CvImage::SetSize(uint32_t w, uint32_t h) {
    width = w;
    height = h;
}

void CvImage::SetBlockSize(uint32_t w, uint32_t h) {
    blockWidth = w;
    blockHeight = h;
}

void CvImage::SetFormatInfo(CvImgFmtInfo* info) {
    if (info == formatInfo) return;
    delete formatInfo;
    formatInfo = info;
}

void CvImage::CopyFormatInfo(const CvImage* from) {
    const CvImgFmtInfo* source = from ? from->GetFormatInfo() : nullptr;
    SetFormatInfo(source ? source->Clone() : nullptr);
}

CvImgFmtInfo* CvImage::DetachFormatInfo() {
    CvImgFmtInfo* info = formatInfo;
    formatInfo = nullptr;
    return info;
}

CvImgFmtInfo* CvImage::ReplaceFormatInfo(CvImgFmtInfo* info) {
    CvImgFmtInfo* previous = DetachFormatInfo();
    SetFormatInfo(info);
    return previous;
}

bool CvImage::ClipRect(CvRect& rect, uint32_t w, uint32_t h) {
    CV_ASSERT(rect.left <= rect.right && rect.top <= rect.bottom && rect.right <= w && rect.bottom <= h);
    rect.right = std::min(rect.right, w);
    rect.bottom = std::min(rect.bottom, h);
    rect.left = std::min(rect.left, rect.right);
    rect.top = std::min(rect.top, rect.bottom);
    return rect.left < rect.right && rect.top < rect.bottom;
}

int32_t CvImage::OpacityWeight(float opacity) {
    // Out-of-range (and NaN) opacities are held to 0..1, which keeps every blended channel between d and s.
    if (!(opacity > 0.0f)) return 0;
    if (opacity >= 1.0f) return 256;
    return int32_t(opacity * 256.0f);
}

void CvImage::TileSize(const CvRect& rect, uint32_t& tileWidth, uint32_t& tileHeight) const {
    tileWidth = std::min(blockWidth == 0xFFFFFFFFu ? rect.Width() : blockWidth, rect.Width());
    tileHeight = std::min(blockHeight == 0xFFFFFFFFu ? rect.Height() : blockHeight, rect.Height());
    // A zero block size would never advance; one pixel is the smallest tile.
    tileWidth = std::max(tileWidth, 1u);
    tileHeight = std::max(tileHeight, 1u);
}

void CvImage::TransferByTiles(TileStep step, float opacity, const CvImage* mask, CvRect rect,
                              const CvDstLayout& out) const {
    if (step == TileStep::Mask && !mask) CV_THROW(kCvErrBadArgument);
    if (mask && (mask->GetWidth() != width || mask->GetHeight() != height)) CV_THROW(kCvErrSizeMismatch);
    if (!out.dst) CV_THROW(kCvErrBadArgument);
    if (!ClipRect(rect, width, height)) return;
    uint32_t tileWidth, tileHeight;
    TileSize(rect, tileWidth, tileHeight);
    CvTempBuffer tile(uint64_t(tileWidth) * tileHeight * 3);
    const uint32_t tileRowBytes = tileWidth * 3;
    for (uint32_t top = rect.top; top < rect.bottom; top += std::min(tileHeight, rect.bottom - top)) {
        const uint32_t bottom = top + std::min(tileHeight, rect.bottom - top);
        for (uint32_t left = rect.left; left < rect.right; left += std::min(tileWidth, rect.right - left)) {
            const uint32_t right = left + std::min(tileWidth, rect.right - left);
            GetRGB(left, top, bottom, right, 0, 0, tileRowBytes, 3, 0, 1, 2, tile.Data());
            const CvDstLayout at = out.Moved(left - rect.left, top - rect.top);
            if (step == TileStep::Mask)
                mask->MaskRGB(left, top, bottom, right, CV_DST_ARGS(at), tileRowBytes, tile.Data());
            else if (mask)
                mask->BlendRGBMasked(opacity, left, top, bottom, right, CV_DST_ARGS(at), tileRowBytes, tile.Data());
            else
                BlendRGB(opacity, left, top, bottom, right, CV_DST_ARGS(at), tileRowBytes, tile.Data());
        }
    }
}

void CvImage::MaskColor(const uint8_t* color, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    uint32_t tileWidth, tileHeight;
    TileSize(rect, tileWidth, tileHeight);
    CvTempBuffer tile(uint64_t(tileWidth) * tileHeight * 3);
    for (uint64_t i = 0; i < uint64_t(tileWidth) * tileHeight; ++i) std::memcpy(tile.Data() + 3 * i, color, 3);
    const uint32_t tileRowBytes = tileWidth * 3;
    for (uint32_t y = rect.top; y < rect.bottom; y += std::min(tileHeight, rect.bottom - y)) {
        const uint32_t y1 = y + std::min(tileHeight, rect.bottom - y);
        for (uint32_t x = rect.left; x < rect.right; x += std::min(tileWidth, rect.right - x)) {
            const uint32_t x1 = x + std::min(tileWidth, rect.right - x);
            const CvDstLayout at = out.Moved(x - rect.left, y - rect.top);
            MaskRGB(x, y, y1, x1, CV_DST_ARGS(at), tileRowBytes, tile.Data());
        }
    }
}

void CvImage::DeleteImageList(CvList* list, bool removeNodes) {
    if (!list) return;
    for (CvListNode* node = list->Head(); node; node = node->next) {
        delete static_cast<CvImage*>(node->item);
        node->item = nullptr;
    }
    if (removeNodes) list->RemoveAll();
}
