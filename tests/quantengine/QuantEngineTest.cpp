// The whole engine run on pictures and settings, from the reduction to the written and re-read GIF file, pinned
// as one table of outputs: every stage's bytes on the paths the rows take.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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
// Eight exact colours in diagonal stripes: black and near-black, two colours of one 5-bit cell, and red, which the
// rows' mask alone covers.
const RgbTriple kStripes[8] = {{0, 0, 0},       {8, 8, 8},   {100, 150, 200}, {101, 150, 200},
                               {255, 255, 255}, {255, 0, 0}, {30, 60, 90},    {240, 240, 240}};

uint32_t Stripe(uint32_t x, uint32_t y) {
    return (x + y / 3) % 8;
}

// The rows' pictures: "photo", noisy asymmetric gradients of far more colours than a palette holds, whose top rows
// and a sparse lattice are the base palette's exact greys; "greys", the twelve darkest of those alone (the three
// lightest but white are nearer another grey's cell, so never found); "stripes"; "paint", the asymmetric picture of
// the image tests.
std::unique_ptr<CvRGBImage> PictureOf(const std::string& kind, uint32_t width, uint32_t height) {
    auto image = std::make_unique<CvRGBImage>(width, height);
    if (kind == "paint") Paint(*image);
    CvPixelLock lock(*image);
    uint32_t noise = 1;
    for (uint32_t y = 0; y < height && kind != "paint"; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const uint8_t grey = uint8_t(x * (kind == "greys" ? 12 : 16) / width * 17);
            const RgbTriple photo = {uint8_t(x * 255 / width + (noise >> 28)), uint8_t(y * 200 / height + x / 3),
                                     uint8_t(250 - (x + 2 * y) % 251)};
            const bool isGrey = kind == "greys" || y < 4 || (x + 3 * y) % 11 == 0;
            const RgbTriple colour = kind == "stripes" ? kStripes[Stripe(x, y)]
                                     : isGrey          ? RgbTriple{grey, grey, grey}
                                                       : photo;
            std::copy(colour.begin(), colour.end(), lock.Row(y) + 3 * x);
        }
    return image;
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
    // The listed palettes: a fixed 6 x 6 x 6 colour cube; base colours the photo's greys and one no picture holds;
    // "found": base colours the engine finds itself.
    std::vector<RgbTriple> listed;
    for (int i = 0; mode == "fixed" && i < 216; ++i)
        listed.push_back({uint8_t(i / 36 * 51), uint8_t(i / 6 % 6 * 51), uint8_t(i % 6 * 51)});
    for (int grey = 0; mode == "base" && grey <= 255; grey += 17)
        listed.push_back({uint8_t(grey), uint8_t(grey), uint8_t(grey)});
    if (mode == "base") listed.push_back({1, 2, 3});
    engine.SetParams(
        {uint32_t(step(5)), kModes.at(mode), PaletteOf(listed), uint16_t(step(6)), step.words.at(4) == "fine"});
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

// Every stage's bytes on the paths its rows take, in tests/data/transcripts/quantengine/whole-runs.txt.
TEST(QuantEngine, WholeRunsGiveTheFiledFiles) {
    const unsigned failedChecks = CvFailedCheckCount();
    Transcript::Replay("quantengine/whole-runs",
                       [](const std::string&, const Transcript::Step& step) { return WholeRun(step); });
    EXPECT_EQ(CvFailedCheckCount(), failedChecks);
}
