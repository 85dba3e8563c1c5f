// Rendering into the full buffer and the zoomed-out block averages, one band of block rows at a time.
// A block's channel sums stay below 8 x 8 x 255, so they are added two channels per 32-bit word.
#include "uicore/HcPreviewRaster.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvImage.h"

namespace {

uint32_t HalfUp(uint32_t size) {
    return size / 2 + size % 2;
}

uint32_t BlocksFor(uint32_t size, uint32_t den) {
    return size / den + (size % den != 0);
}

// A pixel's channels in two words of two 16-bit lanes each: B and R, then G and the unused byte. Sums of up to
// 257 pixels (at most 65535) never carry from one lane into the next.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");
constexpr uint32_t kLowBytes = 0x00FF00FF;

struct BlockSum {
    uint32_t blueRed = 0, greenSpare = 0;
    void Add(const uint8_t* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        blueRed += v & kLowBytes;
        greenSpare += (v >> 8) & kLowBytes;
    }
    void StoreAverage(uint8_t* out, uint32_t count) const {
        const uint32_t blue = (blueRed & 0xFFFF) / count, green = (greenSpare & 0xFFFF) / count,
                       red = (blueRed >> 16) / count;
        const uint32_t v = blue | green << 8 | red << 16;
        std::memcpy(out, &v, 4);
    }
};

// Sums a block of rows x columns pixels; with Columns a constant (0: use `columns`) the inner loop unrolls.
template <uint32_t Columns>
BlockSum SumBlock(const uint8_t* p, size_t rowBytes, uint32_t rows, uint32_t columns) {
    BlockSum sum;
    for (uint32_t r = 0; r < rows; ++r, p += rowBytes)
        for (uint32_t k = 0; k < (Columns ? Columns : columns); ++k) sum.Add(p + 4 * k);
    return sum;
}

}  // namespace

HcPreviewRaster::HcPreviewRaster(const HcBgrxBuffer& fullBuffer, const HcBgrxBuffer& reducedBuffer, uint32_t width,
                                 uint32_t height)
    : full(fullBuffer), reduced(reducedBuffer), imageWidth(width), imageHeight(height) {
    if (full.width < width || full.height < height || reduced.width < HalfUp(width) || reduced.height < HalfUp(height))
        CV_THROW(kCvErrSizeMismatch);
}

void HcPreviewRaster::Render(const CvImage* image) const {
    if (!image) {
        const uint8_t white[3] = {255, 255, 255};
        for (uint32_t y = 0; y < full.height; ++y)
            for (uint32_t x = 0; x < full.width; ++x) full.SetRGB(x, y, white);
        return;
    }
    RenderRows(*image, 0, imageHeight);
}

void HcPreviewRaster::RenderRows(const CvImage& image, uint32_t top, uint32_t bottom) const {
    if (image.GetWidth() != imageWidth || image.GetHeight() != imageHeight) CV_THROW(kCvErrSizeMismatch);
    bottom = std::min(bottom, imageHeight);
    if (imageWidth == 0 || top >= bottom) return;
    image.GetRGB(0, top, bottom, imageWidth, 0, top, full.width * 4, 4, 2, 1, 0, full.pixels);
}

void HcPreviewRaster::Downsample(uint32_t den) const {
    if (den < 2) return;
    ReduceBlocks(den, 0, 0, BlocksFor(imageWidth, den), BlocksFor(imageHeight, den));
}

void HcPreviewRaster::DownsampleRect(uint32_t den, int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
    if (den < 2 || imageWidth == 0 || imageHeight == 0) return;
    const int64_t left = std::max<int64_t>(int64_t(std::min(x0, x1)) - 3, 0);
    const int64_t top = std::max<int64_t>(int64_t(std::min(y0, y1)) - 3, 0);
    const int64_t right = std::min<int64_t>(int64_t(std::max(x0, x1)) + 3, imageWidth - 1);
    const int64_t bottom = std::min<int64_t>(int64_t(std::max(y0, y1)) + 3, imageHeight - 1);
    if (left > right || top > bottom) return;
    ReduceBlocks(den, uint32_t(left) / den, uint32_t(top) / den, uint32_t(right) / den + 1, uint32_t(bottom) / den + 1);
}

void HcPreviewRaster::ReduceBlocks(uint32_t den, uint32_t bx0, uint32_t by0, uint32_t bx1, uint32_t by1) const {
    for (uint32_t by = by0; by < by1; ++by)
        ReduceBlockRow(den, full, by * den, std::min(den, imageHeight - by * den), bx0, bx1, by);
}

void HcPreviewRaster::RenderBlocks(const CvImage& image, uint32_t den, uint32_t top, uint32_t bottom) const {
    if (image.GetWidth() != imageWidth || image.GetHeight() != imageHeight) CV_THROW(kCvErrSizeMismatch);
    bottom = std::min(bottom, imageHeight);
    if (den < 2 || imageWidth == 0 || top >= bottom) return;
    std::vector<uint8_t> strip(size_t(imageWidth) * den * 4);
    const HcBgrxBuffer rows{strip.data(), imageWidth, den};
    for (uint32_t by = top / den; by * den < bottom; ++by) {
        const uint32_t first = by * den, count = std::min(den, imageHeight - first);
        image.GetRGB(0, first, first + count, imageWidth, 0, 0, imageWidth * 4, 4, 2, 1, 0, strip.data());
        ReduceBlockRow(den, rows, 0, count, 0, BlocksFor(imageWidth, den), by);
    }
}

void HcPreviewRaster::ReduceBlockRow(uint32_t den, const HcBgrxBuffer& from, uint32_t fromRow, uint32_t rows,
                                     uint32_t bx0, uint32_t bx1, uint32_t by) const {
    switch (den) {
        case 2: return ReduceBlockRowOf<2>(from, fromRow, rows, bx0, bx1, by);
        case 3: return ReduceBlockRowOf<3>(from, fromRow, rows, bx0, bx1, by);
        case 4: return ReduceBlockRowOf<4>(from, fromRow, rows, bx0, bx1, by);
        case 5: return ReduceBlockRowOf<5>(from, fromRow, rows, bx0, bx1, by);
        case 6: return ReduceBlockRowOf<6>(from, fromRow, rows, bx0, bx1, by);
        case 7: return ReduceBlockRowOf<7>(from, fromRow, rows, bx0, bx1, by);
        case 8: return ReduceBlockRowOf<8>(from, fromRow, rows, bx0, bx1, by);
        default: return ReduceWideBlockRow(den, from, fromRow, rows, bx0, bx1, by);
    }
}

void HcPreviewRaster::ReduceWideBlockRow(uint32_t den, const HcBgrxBuffer& from, uint32_t fromRow, uint32_t rows,
                                         uint32_t bx0, uint32_t bx1, uint32_t by) const {
    if (bx1 <= bx0) return;
    // Three channel sums per block of the row, gathered from runs of at most 256 pixels of a pixel row, which the
    // lanes of BlockSum hold without carrying.
    constexpr uint32_t kRun = 256;
    std::vector<uint64_t> sums(size_t(bx1 - bx0) * 3);
    for (uint32_t y = fromRow; y < fromRow + rows; ++y) {
        const uint8_t* p = from.At(bx0 * den, y);
        for (uint32_t bx = bx0; bx < bx1; ++bx) {
            uint64_t* sum = &sums[size_t(bx - bx0) * 3];
            const uint32_t columns = std::min(den, imageWidth - bx * den);
            for (uint32_t done = 0; done < columns; done += kRun) {
                const uint32_t run = std::min(kRun, columns - done);
                const BlockSum part = SumBlock<0>(p, 0, 1, run);
                p += 4 * run;
                sum[0] += part.blueRed & 0xFFFF, sum[1] += part.greenSpare & 0xFFFF, sum[2] += part.blueRed >> 16;
            }
        }
    }
    for (uint32_t bx = bx0; bx < bx1; ++bx) {
        const uint64_t count = uint64_t(rows) * std::min(den, imageWidth - bx * den);
        const uint64_t* sum = &sums[size_t(bx - bx0) * 3];
        uint8_t* out = reduced.At(bx, by);
        out[0] = uint8_t(sum[0] / count), out[1] = uint8_t(sum[1] / count), out[2] = uint8_t(sum[2] / count);
        out[3] = 0;
    }
}

template <uint32_t Den>
void HcPreviewRaster::ReduceBlockRowOf(const HcBgrxBuffer& from, uint32_t fromRow, uint32_t rows, uint32_t bx0,
                                       uint32_t bx1, uint32_t by) const {
    const size_t rowBytes = size_t(from.width) * 4;
    // Blocks before `whole` are Den pixels wide; the last one may be cut by the image's right edge.
    const uint32_t whole = std::min(bx1, imageWidth / Den), cutColumns = imageWidth - whole * Den;
    uint8_t* out = reduced.At(bx0, by);
    const uint8_t* p = from.At(bx0 * Den, fromRow);
    for (uint32_t bx = bx0; bx < whole; ++bx, p += 4 * Den, out += 4) {
        if (rows == Den)
            SumBlock<Den>(p, rowBytes, Den, Den).StoreAverage(out, Den * Den);
        else
            SumBlock<Den>(p, rowBytes, rows, Den).StoreAverage(out, rows * Den);
    }
    if (whole < bx1) SumBlock<0>(p, rowBytes, rows, cutColumns).StoreAverage(out, rows * cutColumns);
}
