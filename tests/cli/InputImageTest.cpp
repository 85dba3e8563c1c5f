#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/InputImage.h"
#include "tests/cvcode2/CvGIFTestSupport.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestPaths.h"

#if !defined(HC_HAVE_WIC)
#include <tiffio.h>
#include <webp/encode.h>
#endif

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

void ExpectPictureAt(const std::string& path, int channels) {
    SCOPED_TRACE(path);
    InputImage image = ReadImageFile(path);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.channels, channels);
    EXPECT_EQ(image.pixels, Expected(channels));
}

void ExpectPicture(const std::string& name, int channels) {
    ExpectPictureAt(Fixture(name), channels);
}

std::string WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// A copy of `path` cut after `length` bytes.
std::string CutCopy(const std::string& path, const std::string& name, size_t length) {
    return WriteBytes(MakeScratchDir("cut") + "/" + name, ReadFileBytes(path).substr(0, length));
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
    ExpectRefused("notanimage.txt", "not a PNG, JPEG, GIF");
    ExpectRefused("missing.png", "cannot open");
    ExpectRefusedPath(HC_TEST_DATA_DIR "/formats", "it is a folder, not an image");
}

// Our own GIF writer's file of the picture: six palette entries, the third transparent when asked, the frame
// placed at (1, 1) on a larger screen when asked, which leaves the image the frame's own.
TEST(InputImage, GifFirstFrameKeepsItsPaletteAndTransparency) {
    CvColorTable table;
    table.SetCount(6);
    for (uint32_t i = 0; i < 6; ++i) table.SetEntry(i, kRgb[i][0], kRgb[i][1], kRgb[i][2]);
    CvIndexedImage picture(3, 2, &table);
    {
        CvPixelLock lock(picture);
        for (uint8_t i = 0; i < 6; ++i) lock.Row(i / 3)[i % 3] = i;
    }
    std::vector<uint8_t> withAlpha;
    for (int i = 0; i < 6; ++i)
        withAlpha.insert(withAlpha.end(), {kRgb[i][0], kRgb[i][1], kRgb[i][2], uint8_t(i == 2 ? 0 : 255)});
    const GifWriteOptions plain;
    GifWriteOptions transparent;
    transparent.transparent = true;
    transparent.transparentIndex = 2;
    GifWriteOptions offset = transparent;
    offset.left = offset.top = 1;
    const struct {
        GifWriteOptions options;
        int channels;
        std::vector<uint8_t> pixels;
    } cases[] = {{plain, 3, Expected(3)}, {transparent, 4, withAlpha}, {offset, 4, withAlpha}};
    const std::string path = MakeScratchDir("gif-input") + "/picture.gif";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.left);
        WriteOneFrameGif(path, picture, c.options);
        const InputImage image = ReadImageFile(path);
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        ASSERT_EQ(image.channels, c.channels);
        EXPECT_EQ(image.pixels, c.pixels);
    }
    ExpectRefusedPath(CutCopy(path, "cut.gif", 30), "not a readable GIF image (the file ends too early)");
}

TEST(InputImage, BmpAndTiff) {
    ExpectPicture("rgb.bmp", 3);  // stored bottom row first, BGR, rows padded
    ExpectPicture("rgb.tif", 3);
    ExpectPicture("rgba.tif", 4);
    ExpectPicture("gray8.tif", 1);
    ExpectRefusedPath(CutCopy(Fixture("rgb.bmp"), "cut.bmp", 20), "not a readable BMP");
    ExpectRefusedPath(CutCopy(Fixture("rgba.tif"), "cut.tif", 20), "not a readable TIFF");
}

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

TEST(InputImage, JpegDecodesToRgbWithinCompressionError) {
    InputImage image = ReadImageFile(Fixture("rgb.jpg"));
    ASSERT_EQ(image.channels, 3);
    std::vector<uint8_t> expected = Expected(3);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(image.pixels[i], expected[i], 12) << i;
    ExpectRefused("truncated.jpg", "not a readable JPEG");
}

#if defined(HC_HAVE_WIC)
TEST(InputImage, SystemDecodersTakeAnyName) {
    // A name outside the system's code page reaches the decoder whole.
    const std::filesystem::path copy =
        std::filesystem::u8path(MakeScratchDir("wic-name") + "/\xCE\xA0\xCE\xB1\xCE\xBB \xF0\x9F\x8E\xA8.tif");
    std::filesystem::copy_file(std::filesystem::u8path(Fixture("rgba.tif")), copy);
    EXPECT_EQ(ReadImageFile(copy.u8string()).pixels, Expected(4));
}
#endif

#if !defined(HC_HAVE_WIC)
namespace {

// The picture as lossless WebP, the colours under full transparency kept exactly.
std::string EncodeWebp(int channels) {
    const std::vector<uint8_t> pixels = Expected(channels);
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    config.exact = 1;
    WebPPicture picture;
    WebPPictureInit(&picture);
    picture.use_argb = 1;
    picture.width = 3;
    picture.height = 2;
    if (channels == 4)
        WebPPictureImportRGBA(&picture, pixels.data(), 3 * 4);
    else
        WebPPictureImportRGB(&picture, pixels.data(), 3 * 3);
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    EXPECT_TRUE(WebPEncode(&config, &picture));
    const std::string bytes(reinterpret_cast<const char*>(writer.mem), writer.size);
    WebPMemoryWriterClear(&writer);
    WebPPictureFree(&picture);
    return bytes;
}

// The picture as TIFF with `channels` samples of `bits` bits, in strips or 16 × 16 tiles. Each 16-bit sample is
// 257 times its 8-bit value plus one, which rounds back.
void WriteTiff(const std::string& path, int channels, int bits, bool tiled) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 3);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 2);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, channels <= 2 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    const uint16_t unassociated = EXTRASAMPLE_UNASSALPHA;
    if (channels % 2 == 0) TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &unassociated);
    std::vector<uint8_t> samples;
    for (uint8_t value : Expected(channels)) {
        const uint16_t wide = uint16_t(value * 257 + (value < 255 ? 1 : 0));
        samples.insert(samples.end(), bits == 8 ? std::initializer_list<uint8_t>{value}
                                                : std::initializer_list<uint8_t>{uint8_t(wide), uint8_t(wide >> 8)});
    }
    const size_t row = samples.size() / 2;
    if (tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
        const size_t tileRow = 16 * (row / 3);
        std::vector<uint8_t> tile(16 * tileRow);
        for (size_t y = 0; y < 2; ++y)
            std::copy_n(samples.begin() + long(y * row), row, tile.begin() + long(y * tileRow));
        TIFFWriteTile(tiff, tile.data(), 0, 0, 0, 0);
    } else {
        for (uint32_t y = 0; y < 2; ++y) TIFFWriteScanline(tiff, samples.data() + y * row, y, 0);
    }
    TIFFClose(tiff);
}

// The picture as BMP of the given header size, bits and compression: `extra` follows the header (masks, palette),
// `pixels` are the stored rows.
std::string BmpFile(uint32_t headerSize, int32_t height, uint16_t bits, uint32_t compression,
                    const std::vector<uint32_t>& headerMasks, const std::string& extra, const std::string& pixels) {
    std::string bytes;
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(char(value >> (8 * i)));
    };
    const uint32_t offset = 14 + headerSize + uint32_t(extra.size());
    bytes = "BM";
    put(offset + uint32_t(pixels.size()), 4), put(0, 4), put(offset, 4);
    put(headerSize, 4), put(3, 4), put(uint32_t(height), 4), put(1, 2), put(bits, 2), put(compression, 4);
    put(uint32_t(pixels.size()), 4), put(2835, 4), put(2835, 4), put(bits <= 8 ? uint32_t(extra.size() / 4) : 0, 4);
    put(0, 4);
    for (uint32_t mask : headerMasks) put(mask, 4);
    bytes.resize(14 + headerSize, '\0');
    return bytes + extra + pixels;
}

std::string Palette() {
    std::string table;
    for (const auto& colour : kRgb) table += {char(colour[2]), char(colour[1]), char(colour[0]), '\0'};
    return table;
}

std::string BgraRows() {
    std::string rows;
    for (int i : {3, 4, 5, 0, 1, 2}) rows += {char(kRgb[i][2]), char(kRgb[i][1]), char(kRgb[i][0]), char(kAlpha[i])};
    return rows;
}

}  // namespace

TEST(InputImage, WebpStillImagesWithAndWithoutAlpha) {
    const std::string dir = MakeScratchDir("webp");
    for (int channels : {3, 4})
        ExpectPictureAt(WriteBytes(dir + "/p" + std::to_string(channels) + ".webp", EncodeWebp(channels)), channels);
    ExpectRefusedPath(WriteBytes(dir + "/cut.webp", EncodeWebp(4).substr(0, 30)), "not a readable WebP image");
}

TEST(InputImage, TiffInStripsAndTilesOfEveryDepth) {
    const std::string dir = MakeScratchDir("tiff");
    const struct {
        int channels, bits;
        bool tiled;
    } cases[] = {{2, 8, false}, {4, 16, false}, {1, 16, false}, {3, 8, true}, {1, 8, true}};
    for (const auto& c : cases) {
        const std::string path =
            dir + "/p" + std::to_string(c.channels) + "-" + std::to_string(c.bits) + (c.tiled ? "-tiled" : "") + ".tif";
        WriteTiff(path, c.channels, c.bits, c.tiled);
        ExpectPictureAt(path, c.channels);
    }
}

TEST(InputImage, BmpOfEveryStoredLayout) {
    const std::string dir = MakeScratchDir("bmp");
    const std::string topDown8 = std::string("\0\1\2\0\3\4\5\0", 8);
    const std::string bottomUp4 = std::string("\x34\x50\0\0\x01\x20\0\0", 8);
    // Bottom row as a literal run, top row as three runs of one, then the end of the bitmap.
    const std::string runs8 = std::string("\0\3\3\4\5\0\0\0\1\0\1\1\1\2\0\1", 16);
    const struct {
        const char* name;
        std::string bytes;
        int channels;
    } cases[] = {
        {"palette8-top-down", BmpFile(40, -2, 8, 0, {}, Palette(), topDown8), 3},
        {"palette4", BmpFile(40, 2, 4, 0, {}, Palette(), bottomUp4), 3},
        {"rle8", BmpFile(40, 2, 8, 1, {}, Palette(), runs8), 3},
        {"bgra-masks", BmpFile(56, 2, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, "", BgraRows()), 4},
    };
    for (const auto& c : cases) ExpectPictureAt(WriteBytes(dir + "/" + c.name + ".bmp", c.bytes), c.channels);
    ExpectRefusedPath(WriteBytes(dir + "/jpeg.bmp", BmpFile(40, 2, 0, 4, {}, "", "")), "JPEG or PNG image");
}
#endif
