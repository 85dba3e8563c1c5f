// The image interface's own behaviour: size, block size, format info, the block-wise transfers and image lists.
// Block-wise transfers hold at most one tile of scratch memory, whatever the rectangle's size.
#include "cvcode2/CvImage.h"

#include <algorithm>
#include <cstring>
#include <utility>

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
    ForEachTile(rect, [&](const CvRect& tile, uint8_t* pixels, uint32_t rowBytes) {
        GetRGB(CV_RECT_ARGS(tile), 0, 0, rowBytes, 3, 0, 1, 2, pixels);
        const CvDstLayout at = out.Moved(tile.left - rect.left, tile.top - rect.top);
        if (step == TileStep::Mask)
            mask->MaskRGB(CV_RECT_ARGS(tile), CV_DST_ARGS(at), rowBytes, pixels);
        else if (mask)
            mask->BlendRGBMasked(opacity, CV_RECT_ARGS(tile), CV_DST_ARGS(at), rowBytes, pixels);
        else
            BlendRGB(opacity, CV_RECT_ARGS(tile), CV_DST_ARGS(at), rowBytes, pixels);
    });
}

void CvImage::MaskColor(const uint8_t* color, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    CvRect rect{left, top, bottom, right};
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    bool filled = false;
    ForEachTile(rect, [&](const CvRect& tile, uint8_t* pixels, uint32_t rowBytes) {
        // The first tile is the largest: painting it once fills the buffer for every tile.
        if (!std::exchange(filled, true))
            for (uint64_t i = 0; i < uint64_t(tile.Width()) * tile.Height(); ++i) std::memcpy(pixels + 3 * i, color, 3);
        const CvDstLayout at = out.Moved(tile.left - rect.left, tile.top - rect.top);
        MaskRGB(CV_RECT_ARGS(tile), CV_DST_ARGS(at), rowBytes, pixels);
    });
}

void CvImage::DeleteImageList(CvList* list, bool removeNodes) {
    if (!list) return;
    for (CvListNode* node = list->Head(); node; node = node->next) {
        delete static_cast<CvImage*>(node->item);
        node->item = nullptr;
    }
    if (removeNodes) list->RemoveAll();
}
