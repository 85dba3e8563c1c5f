// The single-file export: progress by bands of rows and stops that leave no file, and an empty image as one
// transparent pixel that readers we did not write open. (The table, background and transparent index rules show in
// the files of the whole runs, ExportFrame.WholeRecordedRuns...; counted equal to written in CountExportedFrame.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/HCWriteSingleFile.h"
#include "cvcode2/CvFile.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GifInspect.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/RecordingIndicator.h"
#include "tests/support/TestPaths.h"

namespace {

// Codes `frame` into the file at `path`, or only counts its bytes at kCountOnlyPath; returns the length.
uint32_t Code(const std::string& path, const CvGIFFrame& frame, const HcLossyCoding& lossy = {},
              CvProgressIndicator* progress = nullptr) {
    return HCWriteSingleFile(CvFileLocator(path.c_str()), frame, nullptr, path != kCountOnlyPath, 0, true, lossy,
                             progress);
}

}  // namespace

// The rows are coded in bands of about 65536 pixels (218 rows of 300), pass by pass, each band reported; the count
// comes out the same with or without a listener, and a listener stopping it leaves no file.
TEST(HCWriteSingleFile, TheRowsReportTheirProgressAndCanBeStopped) {
    auto frame = MakeFrame(
        300, 500, 200, [](uint32_t x, uint32_t y) { return (x * y + x / 7) % 200; },
        [](uint32_t, uint32_t) { return 0u; });
    for (const bool interlaced : {false, true}) {
        frame->FrameInfo().interlaced = interlaced;
        RecordingIndicator listener, stopping;
        EXPECT_EQ(Code(kCountOnlyPath, *frame, {}, &listener), Code(kCountOnlyPath, *frame));
        const std::vector<std::string> plain = {"start Writing", "update 218", "update 436", "update 500", "finish"},
                                       passes = {"start Writing", "update 63",  "update 125", "update 250",
                                                 "update 468",    "update 500", "finish"};
        EXPECT_EQ(listener.calls, interlaced ? passes : plain);
        stopping.stopAt = 250;
        const std::string folder = MakeScratchDir("single-file-stop");
        EXPECT_EQ(ErrorOf([&] { Code(folder + "/stopped.gif", *frame, {}, &stopping); }), interlaced ? 3u : 0u);
        EXPECT_EQ(std::filesystem::is_empty(folder), interlaced) << "a stopped write leaves no file";
    }
    // Lossy coding reports as it goes too, so a stop reaches it.
    RecordingIndicator stopAll;
    stopAll.stop = true;
    const std::string folder = MakeScratchDir("single-file-stop-lossy");
    EXPECT_EQ(ErrorOf([&] { Code(folder + "/stopped.gif", *frame, {40, 0}, &stopAll); }), 3u);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    // It codes the rows both ways, to keep the smaller stream: the reports run on across both, up to twice the height
    // (the exact coding stops once it is longer).
    RecordingIndicator both;
    EXPECT_EQ(Code(kCountOnlyPath, *frame, {40, 0}, &both), Code(kCountOnlyPath, *frame, {40, 0}));
    std::vector<uint32_t> rows;
    for (const std::string& call : both.calls)
        if (call.rfind("update ", 0) == 0) rows.push_back(uint32_t(std::stoul(call.substr(7))));
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
    EXPECT_GT(rows.back(), 500u);
    EXPECT_LE(rows.back(), 1000u);
}

TEST(HCWriteSingleFile, EmptyImageIsOneTransparentPixelEveryReaderOpens) {
    auto frame = MakeFrame(
        0, 0, 4, [](uint32_t, uint32_t) { return 0u; }, [](uint32_t, uint32_t) { return 0u; });
    const std::string path = MakeScratchDir("single-file-empty") + "/empty.gif";
    Code(path, *frame);
    GifReading reading = ReadWithGiflib(path);
    EXPECT_EQ(reading.width * reading.height, 1);
    EXPECT_EQ(reading.transparentIndex, reading.indices[0]);
    EXPECT_EQ(ReadWithPillow(path).transparentIndex, reading.transparentIndex);
    EXPECT_EQ(ReadRgbaWithImageMagick(path)[3], 0);
}
