// Integer resampling: the area sum walks source pixels and splits each at destination borders (1/1024 units);
// the average walks destination pixels with exact overlap weights in units of the other block's size.
#include "cvcode2/CvResize.h"

#include <algorithm>
#include <cstring>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvTempBuffer.h"

namespace CvResize {

namespace {

// The overlap of source cell i (in units of dstSize) with destination cell o (in units of srcSize).
inline uint64_t Overlap(uint64_t i, uint64_t o, uint64_t srcSize, uint64_t dstSize) {
    const uint64_t begin = std::max(i * dstSize, o * srcSize);
    const uint64_t end = std::min((i + 1) * dstSize, (o + 1) * srcSize);
    return end > begin ? end - begin : 0;
}

}  // namespace

void ResizeAreaSum(const uint8_t* src, uint8_t* dst, uint32_t channels, uint32_t srcPixelBytes, uint32_t dstPixelBytes,
                   uint32_t srcRowBytes, uint32_t dstRowBytes, uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth,
                   uint32_t dstHeight, bool subsample) {
    for (uint32_t y = 0; y < dstHeight; ++y)
        for (uint32_t x = 0; x < dstWidth; ++x)
            std::memset(dst + size_t(y) * dstRowBytes + size_t(x) * dstPixelBytes, 0, channels);
    uint64_t rowStep = srcRowBytes, pixelStep = srcPixelBytes;
    if (subsample) {
        const uint32_t fy = std::max(1u, (srcHeight / 40 + srcHeight / 80) / 2);
        const uint32_t fx = std::max(1u, (srcWidth / 40 + srcWidth / 80) / 2);
        rowStep *= fy;
        pixelStep *= fx;
        srcHeight /= fy;
        srcWidth /= fx;
    }
    if (srcWidth == 0 || srcHeight == 0) return;
    const uint64_t sx = uint64_t(dstWidth) * 1024 / srcWidth;
    const uint64_t sy = uint64_t(dstHeight) * 1024 / srcHeight;
    uint64_t posY = 0;
    for (uint32_t row = 0; row < srcHeight; ++row, posY += sy) {
        const uint8_t* srcRow = src + size_t(row * rowStep);
        uint64_t posX = 0;
        for (uint32_t col = 0; col < srcWidth; ++col, posX += sx) {
            const uint8_t* s = srcRow + size_t(col * pixelStep);
            // Cut the covered destination rectangle [posX, posX + sx) x [posY, posY + sy) at pixel borders.
            for (uint64_t py = posY; py < posY + sy;) {
                const uint64_t dy = py >> 10;
                const uint64_t h = std::min(posY + sy, (dy + 1) << 10) - py;
                for (uint64_t px = posX; px < posX + sx;) {
                    const uint64_t dx = px >> 10;
                    const uint64_t w = std::min(posX + sx, (dx + 1) << 10) - px;
                    if (dy < dstHeight && dx < dstWidth) {
                        uint8_t* d = dst + size_t(dy) * dstRowBytes + size_t(dx) * dstPixelBytes;
                        for (uint32_t c = 0; c < channels; ++c) d[c] = uint8_t(d[c] + ((s[c] * w * h) >> 20));
                    }
                    px += w;
                }
                py += h;
            }
        }
    }
}

void ResizeAverage(const uint8_t* src, uint8_t* dst, uint32_t channels, uint32_t srcPixelBytes, uint32_t dstPixelBytes,
                   uint32_t srcRowBytes, uint32_t dstRowBytes, uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth,
                   uint32_t dstHeight) {
    if (srcWidth == 0 || srcHeight == 0) return;
    // Destination cell o covers [o * srcSize, (o + 1) * srcSize); source cell i covers [i * dstSize, ...).
    const uint64_t area = uint64_t(srcWidth) * srcHeight;
    uint64_t sums[8];
    channels = std::min(channels, 8u);
    for (uint32_t oy = 0; oy < dstHeight; ++oy) {
        const uint32_t iy0 = uint32_t(uint64_t(oy) * srcHeight / dstHeight);
        const uint32_t iy1 =
            uint32_t(std::min<uint64_t>(srcHeight, ((uint64_t(oy) + 1) * srcHeight + dstHeight - 1) / dstHeight));
        for (uint32_t ox = 0; ox < dstWidth; ++ox) {
            const uint32_t ix0 = uint32_t(uint64_t(ox) * srcWidth / dstWidth);
            const uint32_t ix1 =
                uint32_t(std::min<uint64_t>(srcWidth, ((uint64_t(ox) + 1) * srcWidth + dstWidth - 1) / dstWidth));
            std::fill(sums, sums + channels, uint64_t(0));
            for (uint32_t iy = iy0; iy < iy1; ++iy) {
                const uint64_t wy = Overlap(iy, oy, srcHeight, dstHeight);
                const uint8_t* srcRow = src + size_t(iy) * srcRowBytes;
                for (uint32_t ix = ix0; ix < ix1; ++ix) {
                    const uint64_t weight = wy * Overlap(ix, ox, srcWidth, dstWidth);
                    const uint8_t* s = srcRow + size_t(ix) * srcPixelBytes;
                    for (uint32_t c = 0; c < channels; ++c) sums[c] += s[c] * weight;
                }
            }
            uint8_t* d = dst + size_t(oy) * dstRowBytes + size_t(ox) * dstPixelBytes;
            for (uint32_t c = 0; c < channels; ++c) d[c] = uint8_t((sums[c] + area / 2) / area);
        }
    }
}

void ResizeIndexed(const uint8_t* src, uint8_t* dst, uint32_t srcRowBytes, uint32_t dstRowBytes, uint32_t srcWidth,
                   uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight, const CvColorTable& table) {
    if (table.GetCount() == 0) return;
    uint8_t palette[256 * 3] = {};
    std::memcpy(palette, table.Entries(), std::min<uint32_t>(table.GetCount(), 256) * 3u);
    CvTempBuffer srcRGB(uint64_t(srcWidth) * srcHeight * 3);
    CvTempBuffer dstRGB(uint64_t(dstWidth) * dstHeight * 3);
    for (uint32_t y = 0; y < srcHeight; ++y) {
        const uint8_t* in = src + size_t(y) * srcRowBytes;
        uint8_t* out = srcRGB.Data() + size_t(y) * srcWidth * 3;
        for (uint32_t x = 0; x < srcWidth; ++x) std::memcpy(out + 3 * size_t(x), palette + 3 * in[x], 3);
    }
    ResizeAverage(srcRGB.Data(), dstRGB.Data(), 3, 3, 3, srcWidth * 3, dstWidth * 3, srcWidth, srcHeight, dstWidth,
                  dstHeight);
    // Inverse map: cell -> entry + 1, 0 while the cell has not been met.
    CvTempBuffer cells(32768 * 2);
    uint16_t* inverse = cells.As<uint16_t>();
    std::fill(inverse, inverse + 32768, uint16_t(0));
    for (uint32_t y = 0; y < dstHeight; ++y) {
        const uint8_t* in = dstRGB.Data() + size_t(y) * dstWidth * 3;
        uint8_t* out = dst + size_t(y) * dstRowBytes;
        for (uint32_t x = 0; x < dstWidth; ++x) {
            const uint8_t* c = in + 3 * size_t(x);
            const uint32_t cell = uint32_t(c[0] >> 3) << 10 | uint32_t(c[1] >> 3) << 5 | uint32_t(c[2] >> 3);
            if (!inverse[cell]) {
                const uint32_t centre =
                    uint32_t((c[0] & 0xF8) | 4) | uint32_t((c[1] & 0xF8) | 4) << 8 | uint32_t((c[2] & 0xF8) | 4) << 16;
                inverse[cell] = uint16_t(table.FindNearest(centre, -1) + 1);
            }
            out[x] = uint8_t(inverse[cell] - 1);
        }
    }
}

}  // namespace CvResize
