// Our GIF files against readers we did not write (giflib, Pillow, ImageMagick), and files those tools wrote
// against our reader; then decode, encode, decode must give back every frame unchanged.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cvcode2/CvGIFFile.h"
#include "tests/cvcode2/CvGIFTestSupport.h"
#include "tests/support/GifInspect.h"
#include "tests/support/TestPaths.h"

namespace {

std::string Fixture(const std::string& name) { return HC_TEST_DATA_DIR "/gif/" + name; }

// The table as a reader sees it in the file: padded with black to a power of two, at least two entries.
std::vector<uint8_t> PaddedPalette(const CvColorTable& table) {
    uint32_t size = 2;
    while (size < table.GetCount()) size *= 2;
    std::vector<uint8_t> palette(table.Entries(), table.Entries() + 3 * table.GetCount());
    palette.resize(3 * size_t(size), 0);
    return palette;
}

std::vector<uint8_t> PaletteOf(const CvColorTable& table) {
    return std::vector<uint8_t>(table.Entries(), table.Entries() + 3 * table.GetCount());
}

struct Case {
    std::string name;
    uint32_t width, height, colors;
    GifWriteOptions options;
};

std::vector<Case> OurCases() {
    std::vector<Case> cases;
    for (uint32_t colors : {2u, 16u, 256u})
        for (bool interlaced : {false, true}) {
            GifWriteOptions options;
            options.interlaced = interlaced;
            cases.push_back({"colours" + std::to_string(colors) + (interlaced ? "i" : ""), 13, 11, colors, options});
        }
    for (uint32_t height = 1; height <= 9; ++height) {
        GifWriteOptions options;
        options.interlaced = true;
        cases.push_back({"height" + std::to_string(height), 5, height, 4, options});
    }
    for (size_t length : {size_t(0), size_t(255), size_t(300)}) {
        GifWriteOptions options;
        for (size_t i = 0; i < length; ++i) options.comment += char('A' + i % 26);
        options.transparent = true;
        options.transparentIndex = 3;
        cases.push_back({"comment" + std::to_string(length), 6, 4, 8, options});
    }
    cases.push_back({"width1", 1, 9, 2, {}});
    cases.push_back({"width65535", 65535, 1, 256, {}});
    return cases;
}

// 256-colour noise: its strings fill the code table many times over, so the encoder's clear code at 4095 is used.
std::unique_ptr<CvIndexedImage> NoisePicture(uint32_t width, uint32_t height) {
    auto image = MakeIndexedPicture(width, height, 256);
    CvPixelLock lock(*image);
    uint32_t state = 12345;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            lock.Row(y)[x] = uint8_t(state >> 24);
        }
    return image;
}

void ExpectReadersAgree(const std::string& path, const CvIndexedImage& image, const GifWriteOptions& options) {
    GifReading giflib = ReadWithGiflib(path);
    EXPECT_EQ(giflib.width, int(image.GetWidth()));
    EXPECT_EQ(giflib.height, int(image.GetHeight()));
    EXPECT_EQ(giflib.interlaced, options.interlaced);
    EXPECT_EQ(giflib.palette, PaddedPalette(image.colorTable));
    EXPECT_EQ(giflib.transparentIndex, options.transparent ? options.transparentIndex : -1);
    EXPECT_EQ(giflib.comment, options.comment);
    EXPECT_EQ(giflib.indices, IndicesOf(image));
    GifReading pillow = ReadWithPillow(path);
    EXPECT_EQ(pillow.width, giflib.width);
    EXPECT_EQ(pillow.height, giflib.height);
    EXPECT_EQ(pillow.interlaced, giflib.interlaced);
    ASSERT_GE(pillow.palette.size(), 3 * size_t(image.colorTable.GetCount()));
    EXPECT_EQ(std::vector<uint8_t>(pillow.palette.begin(), pillow.palette.begin() + 3 * image.colorTable.GetCount()),
              PaletteOf(image.colorTable));
    EXPECT_EQ(pillow.transparentIndex, giflib.transparentIndex);
    EXPECT_EQ(pillow.comment, giflib.comment);
    EXPECT_EQ(pillow.indices, giflib.indices);
    // The system's ImageMagick policy refuses images wider or higher than 16384 pixels.
    if (image.GetWidth() <= 16384 && image.GetHeight() <= 16384) {
        EXPECT_EQ(ReadRgbaWithImageMagick(path), ExpectedRgba(giflib));
    }
}

// Every frame as giflib reads it.
struct GiflibFrame {
    int left, top, width, height;
    bool interlaced;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> indices;
    int transparentIndex = -1;
    int delay = 0;
    int disposal = 0;
};

std::vector<GiflibFrame> GiflibFrames(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) throw std::runtime_error(GifErrorString(error));
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> owner(gif, [](GifFileType* g) {
        int ignored;
        DGifCloseFile(g, &ignored);
    });
    if (DGifSlurp(gif) != GIF_OK) throw std::runtime_error(GifErrorString(gif->Error));
    std::vector<GiflibFrame> frames;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        GiflibFrame frame{d.Left, d.Top, d.Width, d.Height, bool(d.Interlace), {}, {}};
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        for (int c = 0; map && c < map->ColorCount; ++c)
            frame.palette.insert(frame.palette.end(), {map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue});
        frame.indices.assign(image.RasterBits, image.RasterBits + size_t(d.Width) * size_t(d.Height));
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.transparentIndex = control.TransparentColor;
            frame.delay = control.DelayTime;
            frame.disposal = control.DisposalMode;
        }
        frames.push_back(frame);
    }
    return frames;
}

void ExpectSameAsGiflib(const std::string& path) {
    std::vector<GiflibFrame> expected = GiflibFrames(path);
    std::vector<ReadFrame> frames = ReadAllFrames(path);
    ASSERT_EQ(frames.size(), expected.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const CvGIFFrameInfo& info = *frames[i].info();
        EXPECT_EQ(info.left, expected[i].left);
        EXPECT_EQ(info.top, expected[i].top);
        EXPECT_EQ(info.width, expected[i].width);
        EXPECT_EQ(info.height, expected[i].height);
        EXPECT_EQ(info.interlaced, expected[i].interlaced);
        EXPECT_EQ(PaletteOf(frames[i].image->colorTable), expected[i].palette);
        EXPECT_EQ(IndicesOf(*frames[i].image), expected[i].indices);
        EXPECT_EQ(info.transparentFlag ? int(info.transparentIndex) : -1, expected[i].transparentIndex);
        EXPECT_EQ(info.delayTime, expected[i].delay);
        EXPECT_EQ(int(info.disposalMethod), expected[i].disposal);
    }
}

// Two frames written through giflib's own encoder: a global table, a comment, graphic control blocks, and an
// interlaced second frame with a local table, offset on the screen.
std::string WriteWithGiflib(const std::string& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) throw std::runtime_error(GifErrorString(error));
    GifColorType global[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    GifColorType local[8] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}, {19, 20, 21}, {22, 23, 24}};
    ColorMapObject* globalMap = GifMakeMapObject(4, global);
    ColorMapObject* localMap = GifMakeMapObject(8, local);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, 7, 6, 8, 1, globalMap) == GIF_OK && EGifPutComment(gif, "from giflib") == GIF_OK;
    GraphicsControlBlock control{2, false, 25, 3};
    GifByteType gcb[4];
    EGifGCBToExtension(&control, gcb);
    ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gcb) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, 7, 6, false, nullptr) == GIF_OK;
    GifPixelType row[7];
    for (int y = 0; ok && y < 6; ++y) {
        for (int x = 0; x < 7; ++x) row[x] = GifPixelType((x + 2 * y + x * y) % 4);
        ok = EGifPutLine(gif, row, 7) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 2, 1, 5, 5, true, localMap) == GIF_OK;
    // Interlaced: giflib takes the rows in file order.
    const int order[5] = {0, 4, 2, 1, 3};
    for (int i = 0; ok && i < 5; ++i) {
        for (int x = 0; x < 5; ++x) row[x] = GifPixelType((3 * x + order[i] * 5) % 8);
        ok = EGifPutLine(gif, row, 5) == GIF_OK;
    }
    GifFreeMapObject(globalMap);
    GifFreeMapObject(localMap);
    EGifCloseFile(gif, &error);
    if (!ok) throw std::runtime_error("giflib could not write " + path);
    return path;
}

// Reads every frame with our reader, writes them all with our writer, and reads that back.
void ExpectLosslessRoundTrip(const std::string& path) {
    std::unique_ptr<CvGIFGlobalInfo> global;
    std::vector<ReadFrame> frames = ReadAllFrames(path, &global);
    CvGIFFile in;
    in.SetPath(path.c_str());
    in.Open(kCvFileRead);
    const uint32_t screenWidth = in.ScreenWidth(), screenHeight = in.ScreenHeight();
    in.Close();

    std::string copy = MakeScratchDir("gif-roundtrip") + "/copy.gif";
    CvGIFFile out;
    out.SetPath(copy.c_str());
    out.SetScreenSize(screenWidth, screenHeight);
    out.SetGlobalInfo(global->Clone());
    out.SetFrameCount(uint32_t(frames.size()));
    out.Open(kCvFileWrite);
    for (ReadFrame& frame : frames) {
        std::unique_ptr<CvGIFFrameInfo> info(frame.info()->Clone());
        out.WriteFrame(frame.image.get(), info.get());
    }
    out.Close();

    std::unique_ptr<CvGIFGlobalInfo> global2;
    std::vector<ReadFrame> again = ReadAllFrames(copy, &global2);
    ASSERT_EQ(again.size(), frames.size());
    EXPECT_EQ(global2->globalColorTable, global->globalColorTable);
    EXPECT_EQ(global2->CommentCount(), global->CommentCount());
    EXPECT_EQ(global2->loopCount, global->loopCount);
    for (size_t i = 0; i < frames.size(); ++i) {
        const CvGIFFrameInfo &a = *frames[i].info(), &b = *again[i].info();
        EXPECT_EQ(IndicesOf(*again[i].image), IndicesOf(*frames[i].image)) << i;
        EXPECT_EQ(again[i].image->colorTable, frames[i].image->colorTable) << i;
        EXPECT_TRUE(a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
                    a.interlaced == b.interlaced && a.hasLocalColorTable == b.hasLocalColorTable &&
                    a.transparentFlag == b.transparentFlag && a.transparentIndex == b.transparentIndex &&
                    a.delayTime == b.delayTime && a.disposalMethod == b.disposalMethod)
            << i;
    }
}

const char* const kForeign[] = {"im-plain.gif", "im-interlaced.gif", "im-interlaced-5colours.gif", "im-16colours.gif",
                                 "im-frames.gif", "pillow-comment-transparent.gif"};

}  // namespace

TEST(CvGIFIndependent, EveryReaderDecodesOurFilesToOurIndicesPaletteAndSettings) {
    std::string folder = MakeScratchDir("gif-ours");
    for (const Case& c : OurCases()) {
        SCOPED_TRACE(c.name);
        auto image = MakeIndexedPicture(c.width, c.height, c.colors);
        std::string path = folder + "/" + c.name + ".gif";
        WriteOneFrameGif(path, *image, c.options);
        ExpectReadersAgree(path, *image, c.options);
    }
}

TEST(CvGIFIndependent, AFullCodeTableIsClearedTheWayReadersExpect) {
    auto image = NoisePicture(300, 200);
    std::string path = MakeScratchDir("gif-full") + "/noise.gif";
    for (bool interlaced : {false, true}) {
        GifWriteOptions options;
        options.interlaced = interlaced;
        WriteOneFrameGif(path, *image, options);
        ExpectReadersAgree(path, *image, options);
        EXPECT_EQ(IndicesOf(*ReadAllFrames(path)[0].image), IndicesOf(*image));
    }
}

TEST(CvGIFIndependent, OurReaderGetsExactlyWhatGiflibReadsFromForeignFiles) {
    for (const char* name : kForeign) {
        SCOPED_TRACE(name);
        ExpectSameAsGiflib(Fixture(name));
    }
    ExpectSameAsGiflib(WriteWithGiflib(MakeScratchDir("gif-giflib") + "/giflib.gif"));
}

TEST(CvGIFIndependent, ForeignFilesSurviveDecodeEncodeDecode) {
    for (const char* name : kForeign) {
        SCOPED_TRACE(name);
        ExpectLosslessRoundTrip(Fixture(name));
    }
    ExpectLosslessRoundTrip(WriteWithGiflib(MakeScratchDir("gif-giflib") + "/giflib.gif"));
}
