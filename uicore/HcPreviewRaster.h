// The pixels of a preview pane: the image at 1 : 1 in the full buffer and, for a 1 : den view, each den x den
// block's average in the reduced buffer. Only pixels inside the image are averaged, so a block cut by the right or
// bottom edge averages the part it covers and whatever lies in the spare columns and rows never shows.
#pragma once

#include <cstdint>

#include "uicore/HcPreviewTypes.h"

class CvImage;

class HcPreviewRaster {
public:
    // Views of the caller's buffers for an image of that size. The full buffer must hold the image and the reduced
    // one ceil(width / 2) x ceil(height / 2) pixels (enough for every zoomed-out level); smaller ones raise
    // kCvErrSizeMismatch.
    HcPreviewRaster(const HcBgrxBuffer& full, const HcBgrxBuffer& reduced, uint32_t imageWidth, uint32_t imageHeight);

    // The image's pixels into the full buffer; without an image the whole full buffer turns white.
    // An image of another size raises kCvErrSizeMismatch.
    void Render(const CvImage* image) const;
    // Only the image's rows top <= y < bottom (clipped to the image).
    void RenderRows(const CvImage& image, uint32_t top, uint32_t bottom) const;
    // Every reduced pixel of a 1 : den view from the full buffer; den below 2 (not zoomed out) does nothing.
    void Downsample(uint32_t den) const;
    // The same for the blocks under the image rectangle with corners (x0, y0) and (x1, y1), both included and in
    // any order, widened by 3 pixels on every side and clipped to the image.
    void DownsampleRect(uint32_t den, int32_t x0, int32_t y0, int32_t x1, int32_t y1) const;
    // The 1 : den view's rows of blocks over the image's rows top <= y < bottom, straight from the image: its rows
    // are read a row of blocks at a time into a strip of their own, so the full buffer is neither read nor written
    // (nor brought up to date). The same averages as Render then Downsample, in much less memory traffic.
    void RenderBlocks(const CvImage& image, uint32_t den, uint32_t top, uint32_t bottom) const;

    const HcBgrxBuffer& Full() const { return full; }
    const HcBgrxBuffer& Reduced() const { return reduced; }

private:
    // Blocks bx0 <= bx < bx1, by0 <= by < by1.
    void ReduceBlocks(uint32_t den, uint32_t bx0, uint32_t by0, uint32_t bx1, uint32_t by1) const;
    // Blocks bx0 <= bx < bx1 of row by, from `rows` pixel rows of `from` starting at `fromRow`.
    void ReduceBlockRow(uint32_t den, const HcBgrxBuffer& from, uint32_t fromRow, uint32_t rows, uint32_t bx0,
                        uint32_t bx1, uint32_t by) const;
    // The same with the block size a constant, so the sums unroll and the divisions become multiplications.
    template <uint32_t Den>
    void ReduceBlockRowOf(const HcBgrxBuffer& from, uint32_t fromRow, uint32_t rows, uint32_t bx0, uint32_t bx1,
                          uint32_t by) const;
    // Blocks wider than 8 (the fitted views of large pictures): sums per block gathered row by row, so the pixels
    // are read once, in memory order.
    void ReduceWideBlockRow(uint32_t den, const HcBgrxBuffer& from, uint32_t fromRow, uint32_t rows, uint32_t bx0,
                            uint32_t bx1, uint32_t by) const;

    HcBgrxBuffer full, reduced;
    uint32_t imageWidth, imageHeight;
};
