// The screenshot encoder, read back by an independent reader: the system's PNG library, which also checks every
// chunk's CRC-32 and the stream's Adler-32. It runs in builds that have that library.
#include <gtest/gtest.h>

#if !defined(HC_HAVE_WIC)
#include "cli/InputImage.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestPaths.h"

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
