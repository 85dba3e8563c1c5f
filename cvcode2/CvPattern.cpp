// Pattern storage and the tiled fill.
// The fill copies whole runs of pattern row per destination row, so it costs one memcpy per pattern repeat.
#include "cvcode2/CvPattern.h"

#include <cstring>
#include <new>

#include "cvcode2/CvErrorCode.h"

CvPattern::CvPattern(uint32_t bpp, uint32_t w, uint32_t h, const void* source)
    : pixels(nullptr), bytesPerPixel(bpp), width(w), height(h) {
    const uint64_t bytes = uint64_t(bpp) * w * h;
    if (bytes > UINT32_MAX) CV_THROW(kCvErrNoMemory);
    pixels = CvAllocated(new (std::nothrow) uint8_t[bytes ? size_t(bytes) : 1]);
    if (source) std::memcpy(pixels, source, size_t(bytes));
}

CvPattern::~CvPattern() {
    delete[] pixels;
}

void CvPattern::Fill(uint8_t* dst, uint32_t w, uint32_t h, uint32_t dstRowBytes, uint32_t originX,
                     uint32_t originY) const {
    if (width == 0 || height == 0) return;
    const size_t patternRow = size_t(width) * bytesPerPixel;
    for (uint32_t j = 0; j < h; ++j) {
        const uint8_t* source = pixels + size_t((originY + uint64_t(j)) % height) * patternRow;
        uint8_t* out = dst + size_t(j) * dstRowBytes;
        uint32_t px = uint32_t(originX % width);
        uint32_t i = 0;
        while (i < w) {
            const uint32_t run = (width - px) < (w - i) ? (width - px) : (w - i);
            std::memcpy(out + size_t(i) * bytesPerPixel, source + size_t(px) * bytesPerPixel,
                        size_t(run) * bytesPerPixel);
            i += run;
            px = 0;
        }
    }
}

const CvPattern& CvPattern::Default() {
    static const CvPattern* checkerboard = [] {
        uint8_t cells[16 * 16 * 3];
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool grey = (x < 8) == (y < 8);
                uint8_t* p = cells + (y * 16 + x) * 3;
                p[0] = grey ? 208 : 128;
                p[1] = grey ? 208 : 128;
                p[2] = grey ? 208 : 255;
            }
        CvPattern* pattern = CvAllocated(new (std::nothrow) CvPattern(3, 16, 16, cells));
        return pattern;
    }();
    return *checkerboard;
}
