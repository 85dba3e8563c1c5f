#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/InputImage.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestPaths.h"

namespace {

std::string Fixture(const std::string& name) {
    return HC_TEST_DATA_DIR "/formats/" + name;
}

// The fixtures hold one asymmetric 3 × 2 picture; these are its colours and alpha, row by row.
const uint8_t kRgb[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}, {200, 100, 50}, {7, 8, 9}};
const uint8_t kAlpha[6] = {255, 128, 0, 1, 2, 3};

std::vector<uint8_t> Expected(int channels) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 6; ++i) {
        if (channels <= 2)
            pixels.push_back(kRgb[i][0]);
        else
            pixels.insert(pixels.end(), kRgb[i], kRgb[i] + 3);
        if (channels == 2 || channels == 4) pixels.push_back(kAlpha[i]);
    }
    return pixels;
}

void ExpectPicture(const std::string& name, int channels) {
    SCOPED_TRACE(name);
    InputImage image = ReadImageFile(Fixture(name));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.channels, channels);
    EXPECT_EQ(image.pixels, Expected(channels));
}

void ExpectRefusedPath(const std::string& path, const std::string& phrase) {
    try {
        ReadImageFile(path);
        ADD_FAILURE() << path << " was accepted";
    } catch (const ImageReadError& error) {
        EXPECT_NE(std::string(error.what()).find(phrase), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << "the message names the file";
    }
}

void ExpectRefused(const std::string& name, const std::string& phrase) {
    ExpectRefusedPath(Fixture(name), phrase);
}

}  // namespace

TEST(InputImage, PnmAndPamKeepEverySampleInPlace) {
    ExpectPicture("rgb.ppm", 3);
    ExpectPicture("gray16.pgm", 1);
    ExpectPicture("rgba.pam", 4);
}

TEST(InputImage, BadFilesAreRefusedWithTheirReason) {
    ExpectRefused("short.ppm", "incomplete");
    ExpectRefused("huge.ppm", "32767");
    ExpectRefused("notanimage.txt", "not a PNG, JPEG");
    ExpectRefused("missing.png", "cannot open");
#if !defined(HC_HAVE_WIC)
    ExpectRefused("rgb.bmp", "not read by this build");
#endif
}

#if defined(HC_HAVE_PNG) || defined(HC_HAVE_WIC)
TEST(InputImage, PngOfEveryColourTypeAndDepth) {
    ExpectPicture("rgb8.png", 3);
    ExpectPicture("rgb8-interlaced.png", 3);
    ExpectPicture("rgba8.png", 4);
    ExpectPicture("rgba16.png", 4);
    ExpectPicture("gray8.png", 1);
    ExpectPicture("gray16.png", 1);  // one sample is 1/65535 above its 8-bit value and rounds back
    ExpectPicture("graya8.png", 2);
    ExpectPicture("palette-trns.png", 4);
    ExpectRefused("truncated.png", "not a readable PNG");
    // Too wide for the host's 16-bit sizes: refused from the header, before the pixels are decoded.
    const std::string wide = MakeScratchDir("wide-png") + "/wide.png";
    WritePngFile(wide, 40000, 1, std::vector<uint8_t>(40000 * 3, 7));
    ExpectRefusedPath(wide, "32767");
}
#endif

#if defined(HC_HAVE_JPEG) || defined(HC_HAVE_WIC)
TEST(InputImage, JpegDecodesToRgbWithinCompressionError) {
    InputImage image = ReadImageFile(Fixture("rgb.jpg"));
    ASSERT_EQ(image.channels, 3);
    std::vector<uint8_t> expected = Expected(3);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(image.pixels[i], expected[i], 12) << i;
    ExpectRefused("truncated.jpg", "not a readable JPEG");
}
#endif

#if defined(HC_HAVE_WIC)
TEST(InputImage, BmpAndTiffThroughTheSystemDecoders) {
    ExpectPicture("rgb.bmp", 3);  // stored bottom row first, BGR, rows padded
    ExpectPicture("rgb.tif", 3);
    ExpectPicture("rgba.tif", 4);
    ExpectPicture("gray8.tif", 1);
    // A name outside the system's code page reaches the decoder whole.
    const std::filesystem::path copy =
        std::filesystem::u8path(MakeScratchDir("wic-name") + "/\xCE\xA0\xCE\xB1\xCE\xBB \xF0\x9F\x8E\xA8.tif");
    std::filesystem::copy_file(std::filesystem::u8path(Fixture("rgba.tif")), copy);
    EXPECT_EQ(ReadImageFile(copy.u8string()).pixels, Expected(4));
    const std::string cut = MakeScratchDir("wic-cut") + "/cut.bmp";
    std::filesystem::copy_file(std::filesystem::u8path(Fixture("rgb.bmp")), std::filesystem::u8path(cut));
    std::filesystem::resize_file(std::filesystem::u8path(cut), 20);
    ExpectRefusedPath(cut, "not a readable BMP");
}
#endif
