// Test helpers for the LZW codec: encode index rows to bytes (exactly or lossily) and decode bytes back, through
// real files, an asymmetric picture generator whose rows, columns and passes all differ, and the check of what
// lossy coding promises.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwDecoder.h"
#include "cvcode2/CvLzwEncoder.h"
#include "cvcode2/CvLzwLossy.h"
#include "tests/support/LossyPromise.h"
#include "tests/support/TestPaths.h"

struct LzwPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;  // width * height indices, rows tightly packed
};

// A picture of `colors` colours: a diagonal ramp with noise, so no row or column repeats another.
inline LzwPicture MakePicture(uint32_t width, uint32_t height, uint32_t colors, uint32_t seed = 1) {
    LzwPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height)};
    uint32_t state = seed;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            uint32_t noise = (state >> 16) % 3;
            picture.pixels[size_t(y) * width + x] = uint8_t((x + 2 * y + noise * (x % 5)) % colors);
        }
    return picture;
}

// `colors` greys from black to white, and a smooth picture dithered over them: near colours everywhere.
inline CvColorTable GreyRamp(uint32_t colors) {
    CvColorTable table(colors);
    for (uint32_t i = 0; i < colors; ++i) {
        const uint8_t grey = uint8_t(i * 255 / (colors - 1));
        table.SetEntry(i, grey, grey, uint8_t(255 - grey / 2));
    }
    return table;
}

inline LzwPicture DitheredRamp(uint32_t width, uint32_t height, uint32_t colors) {
    LzwPicture picture = MakePicture(width, height, 5, 11);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t& p = picture.pixels[size_t(y) * width + x];
            const uint32_t smooth = (x + y / 2) * (colors - 3) / (width + height / 2);
            p = uint8_t(smooth + p % 3);
        }
    return picture;
}

// The picture as an indexed image with `table`.
inline std::unique_ptr<CvIndexedImage> IndexedImageOf(const LzwPicture& picture, const CvColorTable& table) {
    auto image = std::make_unique<CvIndexedImage>(picture.width, picture.height, &table);
    CvPixelLock lock(*image);
    for (uint32_t y = 0; y < picture.height; ++y)
        std::copy_n(&picture.pixels[size_t(y) * picture.width], picture.width, lock.Row(y));
    return image;
}

// Exactly, or with lossy coding judged in the colours of the matcher's table.
inline std::string EncodeToBytes(const LzwPicture& picture, uint8_t codeSize, bool interlaced,
                                 CvLossyMatcher* lossy = nullptr) {
    const std::string path = WriteScratchFile("lzw-encoded", "");
    CvFile file;
    file.SetPath(path.c_str());
    file.Open(kCvFileWrite);
    LzwEncoder encoder(file);
    encoder.Start(codeSize, lossy);
    encoder.EncodeImage(picture.pixels.data(), picture.width, picture.height, picture.width, interlaced);
    encoder.Finish();
    file.Close();
    return ReadFileBytes(path);
}

// Decodes `bytes` into a picture prefilled with `fill`; the decoder's errors pass out. `endsAt`: where the file
// stands after decoding.
inline LzwPicture DecodeBytes(const std::string& bytes, uint32_t width, uint32_t height, bool interlaced,
                              uint8_t fill = 0xEE, uint64_t* endsAt = nullptr) {
    const std::string path = WriteScratchFile("lzw-decoded", bytes);
    LzwPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height, fill)};
    CvFile file;
    file.SetPath(path.c_str());
    file.Open(kCvFileRead);
    LzwDecoder decoder(file);
    decoder.Start();
    decoder.DecodeImage(picture.pixels.data(), width, height, width, interlaced);
    if (endsAt) *endsAt = file.Tell();
    decoder.Free();
    file.Close();
    return picture;
}

inline std::string EncodeLossyToBytes(const LzwPicture& picture, uint8_t codeSize, bool interlaced,
                                      const CvColorTable& table, const CvLossyOptions& options) {
    auto matcher = std::make_unique<CvLossyMatcher>(table, options);
    return EncodeToBytes(picture, codeSize, interlaced, matcher.get());
}

inline std::string BrokenLossyPromise(const LzwPicture& source, const LzwPicture& decoded, const CvColorTable& table,
                                      const CvLossyOptions& options, bool interlaced) {
    return BrokenLossyPromise(source.pixels, decoded.pixels, source.width, source.height, table, options, interlaced);
}
