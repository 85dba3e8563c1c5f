// Small helpers shared by the image tests: an asymmetric RGB picture and readers of single pixels.
// Readers always go through GetRGB, so they test what a caller sees, not the storage.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "cvcode2/CvImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvRGBImage.h"

// Pixel (x, y) = (10x + y, 100 + x, 200 + y): every position and channel distinct, so flips, strides and
// channel swaps all show.
inline std::array<uint8_t, 3> Expected(uint32_t x, uint32_t y) {
    return {uint8_t(10 * x + y), uint8_t(100 + x), uint8_t(200 + y)};
}

inline void Paint(CvRGBImage& image) {
    CvPixelLock lock(image);
    for (uint32_t y = 0; y < image.GetHeight(); ++y)
        for (uint32_t x = 0; x < image.GetWidth(); ++x) {
            const std::array<uint8_t, 3> rgb = Expected(x, y);
            std::copy(rgb.begin(), rgb.end(), lock.Row(y) + 3 * x);
        }
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

// The table's entries as packed R, G, B bytes.
inline std::vector<uint8_t> TableBytes(const CvColorTable& table) {
    return std::vector<uint8_t>(table.Entries(), table.Entries() + 3 * table.GetCount());
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

// A destination pixel layout for GetRGB and its kin: bytes per pixel and where red, green and blue go.
struct PixelLayout {
    uint16_t bytes, r, g, b;
};

// GetRGB of `image` as ExpectEveryLayoutReadsAlike calls a reader.
inline auto GetRGBOf(const CvImage& image) {
    return [&image](uint32_t l, uint32_t t, uint32_t b, uint32_t r, uint32_t x, uint32_t y, uint32_t rowBytes,
                    const PixelLayout& p,
                    uint8_t* dst) { image.GetRGB(l, t, b, r, x, y, rowBytes, p.bytes, p.r, p.g, p.b, dst); };
}

// Every layout (three- and four-byte pixels with the channels in any order, and a wider pixel with gaps) reads the
// whole image, and its rectangle from (1, 1) (row 0 of a one-row image) to the far corner, into a buffer at (1, 1)
// with a padded row: the channels get `expected` (packed R, G, B of the whole image; 0xEE where nothing may be
// written) and every other byte keeps 0xEE, so offsets, strides and channel swaps all show. `read(left, top, bottom,
// right, dstX, dstY, rowBytes, layout, dst)` reads that rectangle in `layout` at (dstX, dstY) of a buffer `dst`.
template <class Reader>
void ExpectEveryLayoutReadsAlike(uint32_t width, uint32_t height, const std::vector<uint8_t>& expected,
                                 const Reader& read) {
    const unsigned failedBefore = CvFailedCheckCount();
    for (const PixelLayout& l : {PixelLayout{3, 0, 1, 2}, {4, 1, 2, 3}, {4, 2, 1, 0}, {5, 4, 2, 0}})
        for (const uint32_t left : {0u, 1u}) {
            const uint32_t top = height > 1 ? left : 0, rowBytes = (width + 1) * l.bytes + 2;
            std::vector<uint8_t> out(size_t(rowBytes) * (height + 1), 0xEE);
            read(left, top, height, width, 1, 1, rowBytes, l, out.data());
            for (uint32_t y = 0; y <= height; ++y)
                for (uint32_t x = 0; x <= width; ++x)
                    for (uint16_t k = 0; k < l.bytes; ++k) {
                        const uint32_t sx = x - 1 + left, sy = y - 1 + top;
                        const bool shown = x >= 1 && y >= 1 && sx < width && sy < height;
                        const int channel = k == l.r ? 0 : k == l.g ? 1 : k == l.b ? 2 : -1;
                        const uint8_t want =
                            shown && channel >= 0 ? expected[(size_t(sy) * width + sx) * 3 + channel] : 0xEE;
                        ASSERT_EQ(out[size_t(y) * rowBytes + x * l.bytes + k], want)
                            << "pixel bytes " << l.bytes << ", from " << left << ", at " << x << "," << y << ", byte "
                            << k;
                    }
        }
    EXPECT_EQ(CvFailedCheckCount(), failedBefore);
}

// Clone, a whole-image CopyRect, both flips and the turns by right angles (radians, counter-clockwise) each put
// every pixel where it belongs.
inline void ExpectPixelsFollowTheTransforms(const CvImage& image) {
    const uint32_t w = image.GetWidth(), h = image.GetHeight();
    const float quarter = 1.5707964f;
    CvImage* const made[] = {image.Clone(),
                             image.CopyRect(CvRect{0, 0, h, w}),
                             image.FlipHorizontal(),
                             image.FlipVertical(),
                             image.Rotate(quarter),
                             image.Rotate(-quarter),
                             image.Rotate(2 * quarter)};
    for (size_t i = 0; i < std::size(made); ++i) {
        std::unique_ptr<CvImage> result(made[i]);
        const bool turned = i == 4 || i == 5;
        ASSERT_EQ(result->GetWidth(), turned ? h : w) << "transform " << i;
        ASSERT_EQ(result->GetHeight(), turned ? w : h) << "transform " << i;
        for (uint32_t y = 0; y < result->GetHeight(); ++y)
            for (uint32_t x = 0; x < result->GetWidth(); ++x) {
                // Where pixel (x, y) of each transform's result comes from in the image.
                const std::array<uint32_t, 2> from[] = {
                    {x, y},         {x, y},         {w - 1 - x, y},        {x, h - 1 - y},
                    {w - 1 - y, x}, {y, h - 1 - x}, {w - 1 - x, h - 1 - y}};
                ASSERT_EQ(PixelOf(*result, x, y), PixelOf(image, from[i][0], from[i][1]))
                    << "transform " << i << " at " << x << "," << y;
            }
    }
}
