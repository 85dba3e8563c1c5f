// The command's image readers: every format and layout reads to the same asymmetric picture, and every damaged or
// unreadable file is refused with its reader's reason and the file's name.
#include <gtest/gtest.h>

#include <algorithm>
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

// The rows of a table in tests/data/cli/: those every build reads, or (`ownReaders`) those after its "own readers"
// line, for the builds that read WebP, TIFF and BMP with their own readers.
std::vector<std::vector<std::string>> Rows(const std::string& table, bool ownReaders) {
    std::vector<std::vector<std::string>> rows = DataTable("cli/" + table);
    const auto split = std::find(rows.begin(), rows.end(), std::vector<std::string>{"own readers"});
    EXPECT_NE(split, rows.end()) << table << " has no \"own readers\" line";
    if (!ownReaders) return {rows.begin(), split};
    return {split == rows.end() ? split : split + 1, rows.end()};
}

// Every file of input-pictures.txt reads to the picture, within the row's tolerance.
void ExpectPictures(bool ownReaders) {
    for (const std::vector<std::string>& row : Rows("input-pictures.txt", ownReaders)) {
        SCOPED_TRACE(row.at(0));
        const InputImage image = ReadImageFile(Data(row.at(0)));
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        const int channels = std::stoi(row.at(1)), tolerance = row.size() > 3 ? std::stoi(row[3]) : 0;
        ASSERT_EQ(image.channels, channels);
        const std::vector<uint8_t> expected =
            Expected(channels, row.size() > 2 && row[2] == "gif" ? kGifAlpha : kAlpha);
        ASSERT_EQ(image.pixels.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(image.pixels[i], expected[i], tolerance) << i;
    }
}

// Each file of input-refusals.txt (and `more`) refused with its phrase, the message naming the file.
void ExpectRefusals(bool ownReaders, std::vector<std::pair<std::string, std::string>> more = {}) {
    for (const std::vector<std::string>& row : Rows("input-refusals.txt", ownReaders)) {
        const bool cut = row.at(0).rfind("cut ", 0) == 0;
        const size_t name = cut ? row[0].find(' ', 4) + 1 : 0;
        const std::string path = Data(row[0].substr(name));
        more.emplace_back(cut ? CutCopy(path, std::stoul(row[0].substr(4))) : path, row.at(1));
    }
    for (const auto& [path, phrase] : more) {
        const std::string message = MessageOf<ImageReadError>([&] { ReadImageFile(path); });
        EXPECT_NE(message.find(phrase), std::string::npos) << path << " gave: " << message;
        EXPECT_NE(message.find(path), std::string::npos) << "the message names the file: " << message;
    }
}

}  // namespace

TEST(InputImage, EveryFormatReadsToTheSamePictureAndBadFilesAreRefused) {
    ExpectPictures(false);
    // Too wide for the host's 16-bit sizes: refused from the header, before the pixels are decoded.
    const std::string wide = MakeScratchDir("wide-png") + "/wide.png";
    WritePngFile(wide, 40000, 1, std::vector<uint8_t>(40000 * 3, 7));
    ExpectRefusals(false, {{wide, "32767"}});
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
// Our own builds' readers of the layouts the system's decoders take on Windows; and the PNG reader, which checks
// every chunk's CRC-32 and the stream's Adler-32, gets back every pixel of a test screenshot's encoding: wider than
// one stored block (65535 bytes), so the stream spans several, and no pixel alike its mirror images.
TEST(InputImage, WebpTiffAndBmpOfEveryLayout) {
    ExpectPictures(true);
    ExpectRefusals(true);
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 117; ++y)
        for (int x = 0; x < 203; ++x) rgb.insert(rgb.end(), {uint8_t(x), uint8_t(y * 2), uint8_t(x * 7 + y)});
    const std::string path = MakeScratchDir("png") + "/picture.png";
    WritePngFile(path, 203, 117, rgb);
    const InputImage image = ReadPng(path);
    EXPECT_EQ((std::vector<int>{image.width, image.height, image.channels}), (std::vector<int>{203, 117, 3}));
    EXPECT_EQ(image.pixels, rgb);
}
#endif
