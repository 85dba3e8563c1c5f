// Our GIF files against readers we did not write (giflib, Pillow, ImageMagick), and files those tools wrote
// against our reader: both directions must agree on every index, palette entry and setting.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "cvcode2/CvGIFFile.h"
#include "tests/support/GifInspect.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/LzwTestData.h"
#include "tests/support/TestPaths.h"

namespace {

auto Facts(const GifReading& r) {
    return std::tie(r.width, r.height, r.interlaced, r.transparentIndex, r.comment, r.indices);
}

void ExpectReadersAgree(const std::string& path, const CvIndexedImage& image, const GifWriteOptions& options) {
    GifReading ours;
    ours.width = int(image.GetWidth()), ours.height = int(image.GetHeight()), ours.interlaced = options.interlaced;
    ours.transparentIndex = options.transparent ? options.transparentIndex : -1;
    ours.comment = options.comment;
    ours.indices = IndexBytes(image);
    const GifReading giflib = ReadWithGiflib(path);
    for (const GifReading& reading : {giflib, ReadWithPillow(path)}) {
        EXPECT_EQ(Facts(reading), Facts(ours));
        EXPECT_EQ(reading.palette, TableBytes(image.colorTable));  // every case's table is stored whole, unpadded
    }
    // The system's ImageMagick policy refuses images wider or higher than 16384 pixels.
    if (image.GetWidth() <= 16384 && image.GetHeight() <= 16384) {
        EXPECT_EQ(ReadRgbaWithImageMagick(path), ExpectedRgba(giflib));
    }
    EXPECT_EQ(IndexBytes(*ReadAllFrames(path)[0].image), ours.indices);  // and our own reader
}

}  // namespace

// The cases, a full code table cleared the way readers expect among them, are kept in the data file. A lossy stream
// is an ordinary one: every reader decodes the indices ours does, and those keep lossy coding's promises to the
// source.
TEST(CvGIFIndependent, EveryReaderDecodesOurFilesToOurIndicesPaletteAndSettings) {
    const std::string folder = MakeScratchDir("gif-ours");
    for (const std::vector<std::string>& row : DataTable("gif/our-files.txt")) {
        SCOPED_TRACE(row[0]);
        const uint32_t width = uint32_t(std::stoul(row[1])), height = uint32_t(std::stoul(row[2]));
        GifWriteOptions options;
        options.interlaced = row[4] == "1";
        for (int i = 0; i < std::stoi(row[5]); ++i) options.comment += char('A' + i % 26);
        options.transparent = row[6] != "-1";
        options.transparentIndex = uint8_t(options.transparent ? std::stoi(row[6]) : 0);
        options.lossy.level = uint8_t(std::stoi(row[7]));
        options.lossy.locked[options.transparentIndex] = options.transparent;
        const LzwPicture ramp = DitheredRamp(width, height, 256);
        auto image = options.lossy.level ? IndexedImageOf(ramp, GreyRamp(256))
                                         : MakeIndexedPicture(width, height, uint32_t(std::stoul(row[3])));
        const std::string path = folder + "/" + row[0] + ".gif";
        WriteOneFrameGif(path, *image, options);
        if (options.lossy.level) {
            const LzwPicture ours{width, height, IndexBytes(*ReadAllFrames(path)[0].image)};
            EXPECT_EQ(BrokenLossyPromise(ramp, ours, image->colorTable, options.lossy, options.interlaced), "");
            EXPECT_NE(ours.pixels, ramp.pixels);
            image = IndexedImageOf(ours, image->colorTable);
        }
        ExpectReadersAgree(path, *image, options);
    }
}

TEST(CvGIFIndependent, OurReaderGetsExactlyWhatGiflibReadsFromForeignFiles) {
    for (const char* name : {"im-plain.gif", "im-interlaced.gif", "im-interlaced-5colours.gif", "im-16colours.gif",
                             "im-frames.gif", "pillow-comment-transparent.gif"}) {
        const std::string path = HC_TEST_DATA_DIR "/gif/" + std::string(name);
        const std::vector<GifReading> expected = ReadFramesWithGiflib(path);
        const std::vector<ReadFrame> frames = ReadAllFrames(path);
        ASSERT_EQ(frames.size(), expected.size()) << name;
        for (size_t i = 0; i < frames.size(); ++i) {
            SCOPED_TRACE(name + (" frame " + std::to_string(i)));
            const CvGIFFrameInfo& info = *frames[i].info();
            const GifReading& want = expected[i];
            EXPECT_EQ((std::vector<int>{info.left, info.top, info.width, info.height, info.interlaced, info.delayTime,
                                        int(info.disposalMethod), info.transparentFlag ? info.transparentIndex : -1}),
                      (std::vector<int>{want.left, want.top, want.width, want.height, want.interlaced, want.delay,
                                        want.disposal, want.transparentIndex}));
            EXPECT_EQ(TableBytes(frames[i].image->colorTable), want.palette);
            EXPECT_EQ(IndexBytes(*frames[i].image), want.indices);
        }
    }
}
