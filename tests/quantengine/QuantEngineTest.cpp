// The whole engine run on pictures and settings, from the reduction to the written and re-read GIF file, pinned
// as one table of outputs; small reductions worked out by hand; the dithering amounts' strengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

#include "common/HCWriteSingleFile.h"
#include "common/HcExport.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLog.h"
#include "quantengine/QuantEngine.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Transcript.h"

namespace {
struct Reduction {
    CvColorTable palette;
    std::vector<uint8_t> indices;
    uint32_t preserved;
};

Reduction Reduce(const std::vector<RgbTriple>& pixels, QuantMode mode, uint32_t colors, uint16_t dither,
                 const std::vector<RgbTriple>& table = {}, bool fine = false) {
    auto image = RgbRow(pixels);
    QuantEngine engine;
    engine.SetSource(image.get());
    engine.SetParams({colors, mode, PaletteOf(table), dither, fine});
    CvIndexedImage out(image->GetWidth(), 1);
    engine.Run(&out);
    EXPECT_EQ(out.colorTable, engine.Palette());
    return {engine.Palette(), IndexBytes(out), engine.PreservedCount()};
}

const RgbTriple kRed{255, 0, 0};

// A row of smooth asymmetric gradients with deterministic noise: far more colours than any palette holds.
std::vector<RgbTriple> Gradient(uint32_t count) {
    std::vector<RgbTriple> pixels;
    uint32_t noise = 3;
    for (uint32_t i = 0; i < count; ++i) {
        noise = noise * 1103515245u + 12345u;
        pixels.push_back({uint8_t(i * 251 / count + (noise >> 29)), uint8_t(60 + i % 97), uint8_t(200 - i % 150)});
    }
    return pixels;
}

uint64_t SquaredError(const std::vector<RgbTriple>& pixels, const Reduction& r) {
    uint64_t sum = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        sum += CvColorTable::Distance(pixels[i].data(), r.palette.Entry(r.indices[i]));
    return sum;
}

// Eight exact colours in diagonal stripes: black and near-black, two colours of one 5-bit cell, and red, which the
// rows' mask alone covers.
const RgbTriple kStripes[8] = {{0, 0, 0},       {8, 8, 8},   {100, 150, 200}, {101, 150, 200},
                               {255, 255, 255}, {255, 0, 0}, {30, 60, 90},    {240, 240, 240}};

uint32_t Stripe(uint32_t x, uint32_t y) {
    return (x + y / 3) % 8;
}

// The rows' pictures: "photo", noisy asymmetric gradients of far more colours than a palette holds, whose top rows
// are the base palette's exact greys; "stripes"; "paint", the asymmetric picture of the image tests.
std::unique_ptr<CvRGBImage> PictureOf(const std::string& kind, uint32_t width, uint32_t height) {
    auto image = std::make_unique<CvRGBImage>(width, height);
    if (kind == "paint") Paint(*image);
    CvPixelLock lock(*image);
    uint32_t noise = 1;
    for (uint32_t y = 0; y < height && kind != "paint"; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const uint8_t grey = uint8_t(x * 16 / width * 17);
            const RgbTriple photo = {uint8_t(x * 255 / width + (noise >> 28)), uint8_t(y * 200 / height + x / 3),
                                     uint8_t(250 - (x + 2 * y) % 251)};
            const RgbTriple colour = kind == "stripes" ? kStripes[Stripe(x, y)]
                                     : y < 4           ? RgbTriple{grey, grey, grey}
                                                       : photo;
            std::copy(colour.begin(), colour.end(), lock.Row(y) + 3 * x);
        }
    return image;
}

// The listed palettes: a fixed 6 x 6 x 6 colour cube; base colours the photo's greys and one no picture holds;
// "found": base colours the engine finds itself.
CvColorTable ListedPalette(const std::string& mode) {
    std::vector<RgbTriple> colours;
    for (int i = 0; mode == "fixed" && i < 216; ++i)
        colours.push_back({uint8_t(i / 36 * 51), uint8_t(i / 6 % 6 * 51), uint8_t(i % 6 * 51)});
    for (int grey = 0; mode == "base" && grey <= 255; grey += 17)
        colours.push_back({uint8_t(grey), uint8_t(grey), uint8_t(grey)});
    if (mode == "base") colours.push_back({1, 2, 3});
    return PaletteOf(colours);
}

const std::map<std::string, QuantMode> kModes = {{"adaptive", QuantMode::Adaptive},
                                                 {"fixed", QuantMode::FixedPalette},
                                                 {"base", QuantMode::PreserveBase},
                                                 {"found", QuantMode::PreserveBase}};

// One row: picture width height mode grid colours dither lossy layout transparency. The picture is reduced, put in
// a frame (its stripe-5 pixels transparent for "mask") and exported as the export does, then read back by our
// reader: the outcome pins the file's bytes and the indices read back.
std::string WholeRun(const Transcript::Step& step) {
    const uint32_t width = uint32_t(step(1)), height = uint32_t(step(2));
    const std::string& mode = step.words.at(3);
    std::unique_ptr<CvRGBImage> picture = PictureOf(step.words[0], width, height);
    QuantEngine engine;
    engine.SetSource(picture.get());
    engine.SetParams(
        {uint32_t(step(5)), kModes.at(mode), ListedPalette(mode), uint16_t(step(6)), step.words.at(4) == "fine"});
    engine.Run(nullptr);
    const bool masked = step.words.at(9) == "mask";
    auto frame = FrameOf(*engine.Destination(), [&](uint32_t x, uint32_t y) { return masked && Stripe(x, y) == 5; });
    frame->FrameInfo().interlaced = step.words.at(8) == "interlaced";
    SettleTransparency(*frame);
    const std::string path = WriteScratchFile("whole-run.gif", "");
    const HcLossyCoding lossy{uint8_t(step(7)), uint16_t(engine.PreservedCount()),
                              uint8_t(std::min(step(6), int(kCvLossyFullHandOn)))};
    HCWriteSingleFile(CvFileLocator(path.c_str()), *frame, nullptr, true, 0, true, lossy);
    const std::vector<uint8_t> read = IndexBytes(*ReadAllFrames(path)[0].image);
    return Transcript::Line("palette", engine.Palette().GetCount(), "kept", engine.PreservedCount(), "file",
                            LengthAndHash(ReadFileBytes(path) + std::string(read.begin(), read.end())));
}
}  // namespace

// Small pictures with palettes and indices worked out by hand: each row says what it guards.
TEST(QuantEngine, SmallPicturesGetTheHandComputedPaletteAndIndicesInEveryMode) {
    const std::map<std::string, QuantMode> modes = {
        {"adaptive", QuantMode::Adaptive}, {"fixed", QuantMode::FixedPalette}, {"base", QuantMode::PreserveBase}};
    for (const std::vector<std::string>& row : DataTable("engine/reductions.txt")) {
        SCOPED_TRACE(row[0] + (row[1] == "1" ? " fine, " : ", ") + row[2] + " colours, dither " + row[3] + ": " +
                     row[4]);
        const Reduction r = Reduce(ColoursOf(row[4]), modes.at(row[0]), uint32_t(std::stoul(row[2])),
                                   uint16_t(std::stoi(row[3])), ColoursOf(row[5]), row[1] == "1");
        EXPECT_EQ(r.palette, PaletteOf(ColoursOf(row[6])));
        const std::vector<int> got(r.indices.begin(), r.indices.end());
        std::vector<int> expected;
        std::istringstream indices(row[7]);
        for (std::string index; indices >> index;)
            expected.push_back(index == "*" ? got.at(expected.size()) : std::stoi(index));
        EXPECT_EQ(got, expected);
        EXPECT_TRUE(row[8] == "*" || r.preserved == std::stoul(row[8])) << r.preserved << " base colours kept";
    }
}

TEST(QuantEngine, EmptySourceGetsAOneEntryPaletteInEveryMode) {
    CvRGBImage empty(0, 0);
    const unsigned failedChecks = CvFailedCheckCount();
    for (QuantMode mode : {QuantMode::Adaptive, QuantMode::FixedPalette, QuantMode::PreserveBase})
        for (bool fine : {false, true}) {
            QuantEngine engine;
            engine.SetSource(&empty);
            engine.SetParams({16, mode, PaletteOf({kRed}), 5, fine});
            engine.Run(nullptr);
            EXPECT_EQ(engine.Destination()->GetWidth(), 0u);
            EXPECT_EQ(engine.Destination()->colorTable.GetCount(), 1u);
        }
    EXPECT_EQ(CvFailedCheckCount(), failedChecks);
}

// Undithered, every pixel gets the entry nearest to its own colour, and the palette fits the picture better
// than the cell grid's does.
TEST(QuantEngineFine, PixelsGetTheirNearestEntryOfAFullPaletteThatBeatsTheCellGrid) {
    const std::vector<RgbTriple> pixels = Gradient(3000);
    Reduction fine = Reduce(pixels, QuantMode::Adaptive, 16, 0, {}, true);
    ASSERT_EQ(fine.palette.GetCount(), 16u);
    for (size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(fine.indices[i],
                  fine.palette.FindNearest(CvColorTable::Pack(pixels[i][0], pixels[i][1], pixels[i][2]), -1));
    Reduction cells = Reduce(pixels, QuantMode::Adaptive, 16, 0);
    EXPECT_LT(SquaredError(pixels, fine), SquaredError(pixels, cells));
}

// Base colours found in the picture come first and their pixels keep them, dithered or not.
TEST(QuantEngineFine, PreservedBaseColoursComeFirstAndStayExact) {
    const RgbTriple base0{100, 150, 200}, base1{30, 60, 90};
    std::vector<RgbTriple> pixels = Gradient(2000);
    for (size_t i = 0; i < pixels.size(); i += 7) pixels[i] = i % 2 ? base0 : base1;
    for (uint16_t dither : {0, 10}) {
        Reduction r = Reduce(pixels, QuantMode::PreserveBase, 8, dither, {{1, 2, 3}, base0, base1}, true);
        ASSERT_EQ(r.palette.GetCount(), 8u);
        EXPECT_EQ(r.preserved, 2u);
        EXPECT_EQ(std::vector<uint8_t>(r.palette.Entries(), r.palette.Entries() + 6),
                  TableBytes(PaletteOf({base0, base1})));
        for (size_t i = 0; i < pixels.size(); i += 7) ASSERT_EQ(r.indices[i], i % 2 ? 0 : 1) << dither << " " << i;
    }
}

TEST(QuantEngine, DitherAmountsMapToStrengths) {
    const uint32_t expected[11] = {0, 2, 3, 5, 6, 8, 10, 11, 13, 14, 16};
    for (uint16_t d = 0; d <= 10; ++d) EXPECT_EQ(DitherStrength(d), expected[d]) << d;
    EXPECT_EQ(DitherStrength(255), 16u);
}

// Every stage's bytes on the paths its rows take, in tests/data/transcripts/quantengine/whole-runs.txt.
TEST(QuantEngine, WholeRunsGiveTheFiledFiles) {
    Transcript::Replay("quantengine/whole-runs",
                       [](const std::string&, const Transcript::Step& step) { return WholeRun(step); });
}
