// The screenshot encoder: checksums against published values, and files read back by an independent reader.
// The read-back needs the system's PNG library, so it runs in builds that have one.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "cli/InputImage.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestPaths.h"

namespace {

uint32_t Crc(const char* text) {
    return PngCrc32(reinterpret_cast<const uint8_t*>(text), std::strlen(text));
}

TEST(PngWriterTest, ChecksumsMatchPublishedValues) {
    EXPECT_EQ(Crc("IEND"), 0xAE426082u);
    EXPECT_EQ(Crc("123456789"), 0xCBF43926u);
    EXPECT_EQ(PngAdler32(reinterpret_cast<const uint8_t*>("Wikipedia"), 9), 0x11E60398u);
}

#if !defined(HC_HAVE_WIC)
// Wider than one stored block (65535 bytes) so the stream spans several; every pixel differs from its mirror
// images, so a flip or a channel swap shows.
TEST(PngWriterTest, ReaderGetsBackEveryPixel) {
    const int width = 203, height = 117;
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rgb.insert(rgb.end(), {uint8_t(x), uint8_t(y * 2), uint8_t(x * 7 + y)});
    const std::string path = MakeScratchDir("png") + "/picture.png";
    WritePngFile(path, width, height, rgb);

    const InputImage image = ReadPng(path);
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    EXPECT_EQ(image.channels, 3);
    EXPECT_EQ(image.pixels, rgb);
}
#endif

TEST(PngWriterTest, RefusesPixelsOfAnotherSize) {
    EXPECT_THROW(EncodePng(2, 2, std::vector<uint8_t>(11)), std::invalid_argument);
    EXPECT_THROW(EncodePng(0, 1, {}), std::invalid_argument);
}

}  // namespace
