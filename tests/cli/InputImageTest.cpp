// The command's image readers: every format and layout reads to the same asymmetric picture, and every damaged or
// unreadable file is refused with its reader's reason and the file's name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/InputImage.h"
#include "tests/support/MessageOf.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestPaths.h"

namespace {

// Every fixture holds one 3 × 2 picture; these are its colours and alpha, row by row. The TIFF, WebP and GIF files
// and jpeg-inside.bmp were written once, from these values, by the code this test ran before: libtiff
// (TIFFWriteScanline in strips, TIFFWriteTile in 16 × 16 tiles; each 16-bit sample 257 times its 8-bit value plus
// one, which rounds back), libwebp's lossless coder with exact colours under full transparency, the plug-in's GIF
// writer (WriteOneFrameGif: the third entry transparent, offset-trns.gif's frame at (1, 1) on a 4 × 3 screen) and a
// bare 54-byte BMP header stating JPEG compression. gray1000.pgm holds the grey samples scaled to a maximum of 1000
// and rounded. The BMPs of the other layouts are the BMP reader's fuzz seeds.
const uint8_t kRgb[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}, {200, 100, 50}, {7, 8, 9}};
const uint8_t kAlpha[6] = {255, 128, 0, 1, 2, 3};
const uint8_t kGifAlpha[6] = {255, 255, 0, 255, 255, 255};  // a GIF's alpha is its transparent index

std::vector<uint8_t> Expected(int channels, const uint8_t* alpha) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 6; ++i) {
        pixels.insert(pixels.end(), kRgb[i], kRgb[i] + (channels <= 2 ? 1 : 3));
        if (channels % 2 == 0) pixels.push_back(alpha[i]);
    }
    return pixels;
}

std::string Data(const std::string& name) {
    return HC_TEST_DATA_DIR "/" + name;
}

// A copy of `path` cut after `length` bytes.
std::string CutCopy(const std::string& path, size_t length) {
    const std::string cut = MakeScratchDir("cut") + "/cut" + std::filesystem::path(path).extension().string();
    std::ofstream(cut, std::ios::binary) << ReadFileBytes(path).substr(0, length);
    return cut;
}

struct Readable {
    std::string path;
    int channels;
    const uint8_t* alpha = kAlpha;
    int tolerance = 0;
};

void ExpectPictures(const std::vector<Readable>& cases) {
    for (const Readable& c : cases) {
        SCOPED_TRACE(c.path);
        const InputImage image = ReadImageFile(c.path);
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        ASSERT_EQ(image.channels, c.channels);
        const std::vector<uint8_t> expected = Expected(c.channels, c.alpha);
        if (c.tolerance == 0) {
            EXPECT_EQ(image.pixels, expected);
        }
        for (size_t i = 0; c.tolerance > 0 && i < expected.size(); ++i)
            EXPECT_NEAR(image.pixels[i], expected[i], c.tolerance) << i;
    }
}

// Each file refused with its phrase, the message naming the file.
void ExpectRefusals(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [path, phrase] : cases) {
        const std::string message = MessageOf<ImageReadError>([&] { ReadImageFile(path); });
        EXPECT_NE(message.find(phrase), std::string::npos) << path << " gave: " << message;
        EXPECT_NE(message.find(path), std::string::npos) << "the message names the file: " << message;
    }
}

}  // namespace

TEST(InputImage, EveryFormatReadsToTheSamePicture) {
    ExpectPictures({
        {Data("formats/rgb.ppm"), 3},
        {Data("formats/gray16.pgm"), 1},
        {Data("formats/gray1000.pgm"), 1},  // samples of 0..1000 round to 8 bits (3 of them would truncate lower)
        {Data("formats/rgba.pam"), 4},
        {Data("formats/rgb8.png"), 3},
        {Data("formats/rgb8-interlaced.png"), 3},
        {Data("formats/rgba8.png"), 4},
        {Data("formats/rgba16.png"), 4},
        {Data("formats/gray8.png"), 1},
        {Data("formats/gray16.png"), 1},  // one sample is 1/65535 above its 8-bit value and rounds back
        {Data("formats/graya8.png"), 2},
        {Data("formats/palette-trns.png"), 4},
        {Data("formats/rgb.jpg"), 3, kAlpha, 12},  // within the compression's error
        {Data("formats/palette.gif"), 3},
        {Data("formats/palette-trns.gif"), 4, kGifAlpha},
        {Data("formats/offset-trns.gif"), 4, kGifAlpha},  // the frame's own size, not the screen's
        {Data("formats/rgb.bmp"), 3},                     // stored bottom row first, BGR, rows padded
        {Data("formats/rgb.tif"), 3},
        {Data("formats/rgba.tif"), 4},
        {Data("formats/gray8.tif"), 1},
    });
}

TEST(InputImage, BadFilesAreRefusedWithTheirReason) {
    // Too wide for the host's 16-bit sizes: refused from the header, before the pixels are decoded.
    const std::string wide = MakeScratchDir("wide-png") + "/wide.png";
    WritePngFile(wide, 40000, 1, std::vector<uint8_t>(40000 * 3, 7));
    ExpectRefusals({
        {Data("formats/short.ppm"), "incomplete"},
        {Data("formats/huge.ppm"), "32767"},
        {wide, "32767"},
        {Data("formats/notanimage.txt"), "not a PNG, JPEG, GIF"},
        {Data("formats/missing.png"), "cannot open"},
        {Data("formats"), "it is a folder, not an image"},
        {Data("formats/truncated.png"), "not a readable PNG"},
        {Data("formats/truncated.jpg"), "not a readable JPEG"},
        {CutCopy(Data("formats/palette.gif"), 30), "not a readable GIF image (the file ends too early)"},
        {CutCopy(Data("formats/rgb.bmp"), 20), "not a readable BMP"},
        {CutCopy(Data("formats/rgba.tif"), 20), "not a readable TIFF"},
    });
}

#if defined(HC_HAVE_WIC)
TEST(InputImage, SystemDecodersTakeAnyName) {
    // A name outside the system's code page reaches the decoder whole.
    const std::filesystem::path copy =
        std::filesystem::u8path(MakeScratchDir("wic-name") + "/\xCE\xA0\xCE\xB1\xCE\xBB \xF0\x9F\x8E\xA8.tif");
    std::filesystem::copy_file(std::filesystem::u8path(Data("formats/rgba.tif")), copy);
    EXPECT_EQ(ReadImageFile(copy.u8string()).pixels, Expected(4, kAlpha));
}
#else
// Our own builds' readers of the layouts the system's decoders take on Windows.
TEST(InputImage, WebpTiffAndBmpOfEveryLayout) {
    const std::string bmp = Data("../fuzz/corpus/bmp_reader/");
    ExpectPictures({
        {Data("formats/rgb.webp"), 3},
        {Data("formats/rgba.webp"), 4},
        {Data("formats/graya8.tif"), 2},
        {Data("formats/rgba16.tif"), 4},
        {Data("formats/gray16.tif"), 1},
        {Data("formats/tiled-rgb8.tif"), 3},
        {Data("formats/tiled-gray8.tif"), 1},
        {bmp + "palette8-top-down.bmp", 3},
        {bmp + "core-palette8.bmp", 3},  // the 12-byte header of the oldest BMPs
        {bmp + "palette4.bmp", 3},
        {bmp + "rle8.bmp", 3},  // bottom row a literal run, top row three runs of one
        {bmp + "bgra-masks.bmp", 4},
    });
    ExpectRefusals({
        {CutCopy(Data("formats/rgba.webp"), 30), "not a readable WebP image"},
        {CutCopy(bmp + "rle8.bmp", 80), "not a readable BMP image (the pixel data is incomplete)"},  // in a literal run
        {Data("formats/jpeg-inside.bmp"), "JPEG or PNG image"},
    });
}
#endif
