// An independent reader checks our encoder: the raw LZW data goes into a minimal GIF that giflib decodes.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "cvcode2/CvLzw.h"
#include "tests/cvcode2/LzwTestData.h"

namespace {

std::string Word(uint32_t value) { return {char(value & 0xFF), char(value >> 8)}; }

// Header, screen, a 256-entry grey global table, one image descriptor, our data, trailer.
std::string WrapInGif(const std::string& lzw, uint32_t width, uint32_t height, bool interlaced) {
    std::string gif = "GIF89a" + Word(width) + Word(height) + std::string("\xF7\0\0", 3);
    for (int i = 0; i < 256; ++i) gif += std::string(3, char(i));
    return gif + '\x2C' + Word(0) + Word(0) + Word(width) + Word(height) + char(interlaced ? 0x40 : 0) + lzw + '\x3B';
}

// The indices giflib reads, in plain row order (its slurp undoes the interlacing).
std::vector<uint8_t> DecodeWithGiflib(const std::string& gif) {
    std::string path = LzwScratchFile("giflib.gif");
    std::ofstream(path, std::ios::binary) << gif;
    int error = 0;
    GifFileType* file = DGifOpenFileName(path.c_str(), &error);
    EXPECT_NE(file, nullptr) << GifErrorString(error);
    if (!file) return {};
    std::vector<uint8_t> indices;
    if (DGifSlurp(file) == GIF_OK && file->ImageCount == 1) {
        const SavedImage& image = file->SavedImages[0];
        indices.assign(image.RasterBits, image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
    } else {
        ADD_FAILURE() << "giflib: " << GifErrorString(file->Error);
    }
    DGifCloseFile(file, &error);
    return indices;
}

}  // namespace

TEST(CvLzwGiflib, AnIndependentDecoderReadsWhatWeWrite) {
    struct Case {
        uint32_t width, height, colors;
    } cases[] = {{1, 1, 2}, {1, 9, 2}, {5, 3, 16}, {17, 9, 256}, {64, 64, 4}, {211, 97, 256}, {300, 200, 256}};
    for (const Case& c : cases)
        for (bool interlaced : {false, true}) {
            LzwPicture picture = MakePicture(c.width, c.height, c.colors, c.width + c.height);
            if (c.width >= 200)
                for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = uint8_t(picture.pixels[i] * 37 + i * 11);
            std::string lzw = EncodeToBytes(picture, CodeSizeForColors(c.colors), interlaced);
            EXPECT_EQ(DecodeWithGiflib(WrapInGif(lzw, c.width, c.height, interlaced)), picture.pixels)
                << c.width << "x" << c.height << " " << c.colors << (interlaced ? " interlaced" : "");
        }
}
