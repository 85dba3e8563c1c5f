// Small helpers shared by the image tests: an asymmetric RGB picture and readers of single pixels.
// Readers always go through GetRGB, so they test what a caller sees, not the storage.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "cvcode2/CvImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"

// Pixel (x, y) = (10x + y, 100 + x, 200 + y): every position and channel distinct, so flips, strides and
// channel swaps all show.
inline void Paint(CvRGBImage& image) {
    CvPixelLock lock(image);
    for (uint32_t y = 0; y < image.GetHeight(); ++y)
        for (uint32_t x = 0; x < image.GetWidth(); ++x) {
            uint8_t* p = lock.Row(y) + 3 * x;
            p[0] = uint8_t(10 * x + y);
            p[1] = uint8_t(100 + x);
            p[2] = uint8_t(200 + y);
        }
}

inline std::array<uint8_t, 3> Expected(uint32_t x, uint32_t y) {
    return {uint8_t(10 * x + y), uint8_t(100 + x), uint8_t(200 + y)};
}

// The whole image read through GetRGB as packed R, G, B.
inline std::vector<uint8_t> ReadRGB(const CvImage& image) {
    const uint32_t w = image.GetWidth(), h = image.GetHeight();
    std::vector<uint8_t> rgb(size_t(w) * h * 3 + 1);
    image.GetRGB(0, 0, h, w, 0, 0, w * 3, 3, 0, 1, 2, rgb.data());
    rgb.pop_back();
    return rgb;
}

inline std::array<uint8_t, 3> PixelOf(const CvImage& image, uint32_t x, uint32_t y) {
    std::array<uint8_t, 3> rgb{};
    image.GetRGB(x, y, y + 1, x + 1, 0, 0, 3, 3, 0, 1, 2, rgb.data());
    return rgb;
}

using RgbTriple = std::array<uint8_t, 3>;

inline CvColorTable PaletteOf(const std::vector<RgbTriple>& colors) {
    CvColorTable table(uint32_t(colors.size()));
    for (uint32_t i = 0; i < table.GetCount(); ++i) table.SetEntry(i, colors[i][0], colors[i][1], colors[i][2]);
    return table;
}

// A one-row RGB image of the given pixels.
inline std::unique_ptr<CvRGBImage> RgbRow(const std::vector<RgbTriple>& pixels) {
    auto image = std::make_unique<CvRGBImage>(uint32_t(pixels.size()), 1);
    CvPixelLock lock(*image);
    for (size_t i = 0; i < pixels.size(); ++i) std::copy(pixels[i].begin(), pixels[i].end(), lock.Pixels() + 3 * i);
    return image;
}

// The index bytes of an indexed image, rows top first.
inline std::vector<uint8_t> IndexBytes(const CvIndexedImage& image) {
    std::vector<uint8_t> out;
    CvPixelLock lock(image);
    for (uint32_t y = 0; y < image.GetHeight(); ++y) out.insert(out.end(), lock.Row(y), lock.Row(y) + image.GetWidth());
    return out;
}
