// Test helpers for the LZW codec, shared by its tests and its fuzz entries: encode index rows to bytes (exactly or
// lossily) in memory and decode bytes back through a real file, a dithered ramp of near colours for lossy coding, and
// the check of what lossy coding promises. Header-only, so a fuzz entry needs no test library.
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
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/TestPaths.h"

struct LzwPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;  // width * height indices, rows tightly packed
};

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
    LzwPicture picture{width, height, {}};
    uint32_t state = 11;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const uint32_t smooth = (x + y / 2) * (colors - 3) / (width + height / 2);
            picture.pixels.push_back(uint8_t(smooth + (state >> 16) % 3));
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

// Exactly, or (given a table) with lossy coding judged in the table's colours.
inline std::string EncodeToBytes(const LzwPicture& picture, uint8_t codeSize, bool interlaced,
                                 const CvColorTable* lossyTable = nullptr, const CvLossyOptions& options = {}) {
    const auto lossy = lossyTable ? std::make_unique<CvLossyMatcher>(*lossyTable, options) : nullptr;
    std::vector<uint8_t> bytes;  // the GIF writer's own sink for lossy coding; its file sink shows in the GIF tests
    LzwEncoder encoder(bytes);
    encoder.Start(codeSize, lossy.get());
    encoder.EncodeImage(picture.pixels.data(), picture.width, picture.height, picture.width, interlaced);
    encoder.Finish();
    return std::string(bytes.begin(), bytes.end());
}

// Decodes `bytes` into a picture prefilled with `fill`, exactly width x height bytes so the address sanitizer sees a
// write past the last row; the decoder's errors pass out. `endsAt`: where the file stands after decoding.
inline LzwPicture DecodeBytes(const std::string& bytes, uint32_t width, uint32_t height, bool interlaced,
                              uint8_t fill = 0xEE, uint64_t* endsAt = nullptr) {
    const std::string path = WriteFuzzFile("lzw-decoded", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
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

// The first promise of lossy coding that `decoded` breaks, or "" when it keeps them all: every pixel within the
// level's tolerance of its source; locked entries' pixels unchanged and no other pixel turned into one; every
// stand-in within the tolerance of its source colour plus what it inherits: the right share (as handed on) of its
// left neighbour's error and the down share of the error of the pixel above it, "above" meaning in the row coded
// before (interlaced: the previous row of the pass, or the last row of the pass before).
inline std::string BrokenLossyPromise(const LzwPicture& source, const LzwPicture& decoded, const CvColorTable& table,
                                      const CvLossyOptions& options, bool interlaced) {
    const uint32_t width = source.width, height = source.height;
    const int64_t limit = CvLossyLimit(options.level);
    auto at = [&](uint32_t x, uint32_t y) { return "pixel " + std::to_string(x) + "," + std::to_string(y); };
    CvRowPass passes[4];
    const uint32_t passCount = CvRowPasses(height, interlaced, passes);
    std::vector<int32_t> fromAbove(3 * size_t(width), 0), toBelow(3 * size_t(width), 0);
    for (uint32_t p = 0; p < passCount; ++p) {
        for (uint32_t r = 0; r < passes[p].rowCount; ++r, fromAbove.swap(toBelow)) {
            const uint32_t y = passes[p].firstRow + r * passes[p].rowStep;
            int32_t fromLeft[3] = {0, 0, 0};
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t s = source.pixels[size_t(y) * width + x], d = decoded.pixels[size_t(y) * width + x];
                if (s != d && (options.locked[s] || options.locked[d])) return at(x, y) + ": a locked entry moved";
                if (CvColorTable::Distance(table.Entry(s), table.Entry(d)) > limit)
                    return at(x, y) + ": beyond the tolerance of its colour";
                int64_t target = 0;
                for (int c = 0; c < 3; ++c) {
                    const int32_t error = table.Entry(s)[c] + fromLeft[c] + fromAbove[3 * x + c] - table.Entry(d)[c];
                    target += int64_t(error) * error;
                    fromLeft[c] = error * CvLossyShare(kCvLossyRightShare, options.handOn) / 16;
                    toBelow[3 * x + c] = error * CvLossyShare(kCvLossyDownShare, options.handOn) / 16;
                }
                if (s != d && target > limit) return at(x, y) + ": beyond the tolerance of its inherited target";
            }
        }
    }
    return "";
}
