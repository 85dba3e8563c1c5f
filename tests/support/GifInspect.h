// Independent readings of a GIF file's frames: giflib (every frame), Pillow and ImageMagick (the first), for
// tests that check our files against readers we did not write. Native builds only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GifReading {
    int left = 0, top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<uint8_t> palette;  // R, G, B triples of the table the frame uses
    int transparentIndex = -1;
    int delay = 0, disposal = 0;
    std::string comment;
    std::vector<uint8_t> indices;  // in display order, top row first
};

// Throws std::runtime_error naming the reader when it refuses the file.
std::vector<GifReading> ReadFramesWithGiflib(const std::string& path);
GifReading ReadWithGiflib(const std::string& path);
GifReading ReadWithPillow(const std::string& path);
// The frame as ImageMagick composes it: R, G, B, A per pixel (A 0 where transparent).
std::vector<uint8_t> ReadRgbaWithImageMagick(const std::string& path);
// What a reader should compose from a reading: palette colours, alpha 0 at the transparent index.
std::vector<uint8_t> ExpectedRgba(const GifReading& reading);
