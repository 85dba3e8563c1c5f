// The image interface every part of the system handles, and the raster base that owns a lockable pixel block.
// Pixel transfers always speak RGB to the caller; a raster image has allocated pixels from construction to the end.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "cvcode2/CvTempBuffer.h"

class CvBaseBuffer;
class CvImgFmtInfo;
class CvList;

// Half-open: columns left <= x < right, rows top <= y < bottom.
struct CvRect {
    uint32_t left, top, bottom, right;
    uint32_t Width() const { return right - left; }
    uint32_t Height() const { return bottom - top; }
};

struct CvPoint {
    uint32_t x, y;
};

// The caller's memory a transfer writes into; the rectangle's top-left pixel lands at (x, y).
struct CvDstLayout {
    uint32_t x, y, rowBytes;
    uint16_t pixelBytes, rOffset, gOffset, bOffset;
    uint8_t* dst;
    // First byte of the destination pixel for rectangle-relative position (i, j).
    uint8_t* At(uint32_t i, uint32_t j) const {
        return dst + (size_t(y) + j) * rowBytes + (size_t(x) + i) * pixelBytes;
    }
    CvDstLayout Moved(uint32_t i, uint32_t j) const {
        CvDstLayout moved = *this;
        moved.x += i;
        moved.y += j;
        return moved;
    }
};

// The parameter lists of the transfers: a rectangle, then the destination layout, then (masks, blends) a
// 3-byte R, G, B source tile whose first pixel corresponds to (left, top).
#define CV_RECT_PARAMS uint32_t left, uint32_t top, uint32_t bottom, uint32_t right
#define CV_RECT_ARGS(r) (r).left, (r).top, (r).bottom, (r).right
#define CV_DST_PARAMS                                                                                               \
    uint32_t dstX, uint32_t dstY, uint32_t dstRowBytes, uint16_t dstPixelBytes, uint16_t rOffset, uint16_t gOffset, \
        uint16_t bOffset, uint8_t *dst
// The same lists without names, for operations that ignore them.
#define CV_RECT_UNNAMED uint32_t, uint32_t, uint32_t, uint32_t
#define CV_DST_UNNAMED uint32_t, uint32_t, uint32_t, uint16_t, uint16_t, uint16_t, uint16_t, uint8_t*
#define CV_DST_LAYOUT                                                          \
    CvDstLayout {                                                              \
        dstX, dstY, dstRowBytes, dstPixelBytes, rOffset, gOffset, bOffset, dst \
    }
#define CV_DST_ARGS(l) (l).x, (l).y, (l).rowBytes, (l).pixelBytes, (l).rOffset, (l).gOffset, (l).bOffset, (l).dst

enum CvImageKind : uint32_t { kCvKindGeneric = 0, kCvKindRGB = 1, kCvKindGray = 4, kCvKindIndexed = 5 };

class CvImage {
public:
    CvImage(uint32_t width, uint32_t height, uint32_t kind);
    CvImage(const CvImage&) = delete;
    CvImage& operator=(const CvImage&) = delete;

    virtual CvImage* Clone() const = 0;
    virtual void SetSize(uint32_t width, uint32_t height);
    virtual uint32_t GetWidth() const { return width; }
    virtual uint32_t GetHeight() const { return height; }
    virtual void SetBlockSize(uint32_t width, uint32_t height);
    virtual CvImgFmtInfo* GetFormatInfo() const { return formatInfo; }
    virtual void SetFormatInfo(CvImgFmtInfo* info);
    virtual void CopyFormatInfo(const CvImage* from);
    virtual CvImgFmtInfo* DetachFormatInfo();
    virtual CvImgFmtInfo* ReplaceFormatInfo(CvImgFmtInfo* info);
    virtual void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const = 0;
    virtual CvImage* CopyRect(const CvRect& rect) const = 0;
    virtual void Paste(const CvPoint* at, const CvImage* src) = 0;
    virtual CvImage* Rotate(float angle) const = 0;
    // `fill` is a packed colour (R bits 0-7, G 8-15, B 16-23); grey images use its low byte, bitmaps 0 black, 1 white.
    virtual CvImage* Rotate(float angle, uint32_t fill) const = 0;
    virtual CvImage* FlipHorizontal() const = 0;
    virtual CvImage* FlipVertical() const = 0;
    virtual CvImage* Resize(uint32_t width, uint32_t height) const = 0;
    virtual void GetRGBMasked(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const = 0;
    virtual void GetRGBBlended(float opacity, const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const = 0;
    virtual void GetRGBBlended(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS) const = 0;
    virtual void MaskRGB(CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes, const uint8_t* src) const = 0;
    virtual void BlendRGB(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                          const uint8_t* src) const = 0;
    virtual void BlendRGBMasked(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS, uint32_t srcRowBytes,
                                const uint8_t* src) const = 0;
    virtual ~CvImage();
    virtual void Reset();

    uint32_t Kind() const { return kind; }
    uint32_t BlockWidth() const { return blockWidth; }
    uint32_t BlockHeight() const { return blockHeight; }

    // This image as a mask for a constant colour (3 bytes R, G, B), tile by tile through MaskRGB.
    void MaskColor(const uint8_t* color, CV_RECT_PARAMS, CV_DST_PARAMS) const;
    // Deletes every image in the list (items set to null); with removeNodes also empties the list.
    static void DeleteImageList(CvList* list, bool removeNodes);

    // Clips the rectangle to width x height. A rectangle reaching outside is a caller error: checked, then clipped,
    // so no transfer ever addresses pixels the image does not have. Returns false when nothing is left.
    static bool ClipRect(CvRect& rect, uint32_t width, uint32_t height);
    // BlendRGB's rule for one channel with a = opacity x 256.
    static uint8_t BlendChannel(uint8_t d, uint8_t s, int32_t a) {
        return d < s ? uint8_t(d + (((s - d) * a + 128) >> 8)) : uint8_t(d - (((d - s) * a + 128) >> 8));
    }
    static int32_t OpacityWeight(float opacity);

protected:
    enum class TileStep { Mask, Blend };
    // The block-wise transfer: this image's RGB tile by tile, then the mask's MaskRGB or BlendRGBMasked, or this
    // image's BlendRGB when no mask is given.
    void TransferByTiles(TileStep step, float opacity, const CvImage* mask, CvRect rect, const CvDstLayout& out) const;
    // Tile extent for a rectangle: the block size, 0xFFFFFFFF standing for the whole extent, never past the rectangle.
    void TileSize(const CvRect& rect, uint32_t& tileWidth, uint32_t& tileHeight) const;
    // Visits the tiles of a clipped rectangle row by row as visit(tile, pixels, rowBytes), with one buffer of three
    // bytes a pixel the size of the first (largest) tile, reused for every tile: a walk never holds more than a tile.
    template <typename Visit>
    void ForEachTile(const CvRect& rect, Visit visit) const {
        uint32_t tileWidth, tileHeight;
        TileSize(rect, tileWidth, tileHeight);
        CvTempBuffer buffer(uint64_t(tileWidth) * tileHeight * 3);
        for (uint32_t top = rect.top; top < rect.bottom; top += std::min(tileHeight, rect.bottom - top)) {
            const uint32_t bottom = top + std::min(tileHeight, rect.bottom - top);
            for (uint32_t left = rect.left; left < rect.right; left += std::min(tileWidth, rect.right - left))
                visit(CvRect{left, top, bottom, left + std::min(tileWidth, rect.right - left)}, buffer.Data(),
                      tileWidth * 3);
        }
    }

    uint32_t kind;
    uint32_t width;
    uint32_t height;
    CvImgFmtInfo* formatInfo;
    uint32_t blockWidth;
    uint32_t blockHeight;
};
