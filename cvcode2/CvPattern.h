// A repeating block of pixels, and the process-wide checkerboard shown behind transparent areas.
// The pattern owns its pixels; Fill anchors it at a caller-given origin so tiles of one image line up.
#pragma once

#include <cstdint>

class CvPattern {
public:
    // Copies `pixels` when not null; allocation failure raises kCvErrNoMemory.
    CvPattern(uint32_t bytesPerPixel, uint32_t width, uint32_t height, const void* pixels);
    ~CvPattern();
    CvPattern(const CvPattern&) = delete;
    CvPattern& operator=(const CvPattern&) = delete;

    // Block pixel (i, j) receives pattern pixel ((originX + i) mod width, (originY + j) mod height).
    void Fill(uint8_t* dst, uint32_t width, uint32_t height, uint32_t dstRowBytes, uint32_t originX,
              uint32_t originY) const;

    uint32_t BytesPerPixel() const { return bytesPerPixel; }
    uint32_t Width() const { return width; }
    uint32_t Height() const { return height; }
    const uint8_t* Pixels() const { return pixels; }

    // 16 x 16 RGB: 8 x 8 squares of light grey (208, 208, 208) and light blue (128, 128, 255), grey top-left.
    static const CvPattern& Default();

private:
    uint8_t* pixels;
    uint32_t bytesPerPixel;
    uint32_t width;
    uint32_t height;
};
