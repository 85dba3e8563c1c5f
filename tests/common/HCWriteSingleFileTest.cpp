// The single-file export against readers we did not write: table size and background index rules, counted size
// equal to the written size (lossy or not), the caller's frame untouched, and an empty image as one transparent pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/HCWriteSingleFile.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFInfo.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GifInspect.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/LzwTestData.h"
#include "tests/support/RecordingIndicator.h"
#include "tests/support/TestPaths.h"

namespace {

const uint8_t kBackground[3] = {250, 1, 128};

uint32_t Count(const CvGIFFrame& frame, const CvGIFComment* comment, const HcLossyCoding& lossy = {}) {
    return HCWriteSingleFile(CvFileLocator(kCountOnlyPath), frame, comment, false, 0, true, lossy);
}

uint32_t Write(const std::string& path, const CvGIFFrame& frame, const CvGIFComment* comment,
               const HcLossyCoding& lossy = {}, CvProgressIndicator* progress = nullptr) {
    return HCWriteSingleFile(CvFileLocator(path.c_str()), frame, comment, true, 0, true, lossy, progress);
}

// What lossy coding promised the frame's pixels (transparent ones sharing the background index), as written.
std::string BrokenPromise(const GifReading& reading, const PixelRule& index, const PixelRule& transparent,
                          const HcLossyCoding& lossy) {
    LzwPicture source{uint32_t(reading.width), uint32_t(reading.height), {}};
    for (uint32_t y = 0; y < source.height; ++y)
        for (uint32_t x = 0; x < source.width; ++x)
            source.pixels.push_back(uint8_t(transparent(x, y) ? reading.backgroundIndex : index(x, y)));
    CvColorTable table(uint32_t(reading.palette.size() / 3));
    for (uint32_t i = 0; i < table.GetCount(); ++i)
        table.SetEntry(i, reading.palette[3 * i], reading.palette[3 * i + 1], reading.palette[3 * i + 2]);
    CvLossyOptions options;
    options.level = lossy.level;
    options.handOn = lossy.handOn;
    std::fill_n(options.locked, lossy.baseEntries, uint8_t(1));
    options.locked[reading.backgroundIndex] = 1;
    return BrokenLossyPromise(source, LzwPicture{source.width, source.height, reading.indices}, table, options,
                              reading.interlaced);
}

}  // namespace

TEST(HCWriteSingleFile, TableSizeBackgroundIndexAndCountedSize) {
    // background -1: the merged entry, whichever it is
    struct Case {
        const char* name;
        uint32_t width, height, colors;
        PixelRule index, transparent;
        bool interlaced;
        std::string comment;
        size_t paletteEntries;
        int background;
        HcLossyCoding lossy;
        bool writtenExactly = false;  // the lossy stream would be larger
    };
    auto none = [](uint32_t, uint32_t) { return 0u; };
    auto cycle = [](uint32_t n) { return [n](uint32_t x, uint32_t y) { return (y * 16 + x) % n; }; };
    auto skip4and7 = [](uint32_t x, uint32_t y) {
        uint32_t i = (y * 16 + x) % 8;
        return i == 4 ? 8u : i == 7 ? 9u : i;
    };
    auto corner = [](uint32_t x, uint32_t y) { return uint32_t(x + y < 3); };
    // Blocks of two neighbouring entries (37 units apart) mixed at random: a lossy coder's work.
    auto mixed = [](uint32_t n) {
        return [n](uint32_t x, uint32_t y) { return ((x / 8 + y / 8) * 2 + (x * 7 + y * 13 + x * y) / 4 % 2) % n; };
    };
    // Runs of one entry whose lengths grow down the picture: a lossy stream of it would be the larger.
    auto runs = [](uint32_t n) { return [n](uint32_t x, uint32_t y) { return (x + y * y) / 9 % n; }; };
    const Case cases[] = {
        {"16 used: 17th appended", 16, 4, 16, cycle(16), none, false, "", 32, 16, {}},
        {"10 colours, 4 and 7 free", 16, 4, 10, skip4and7, none, true, "", 16, 4, {}},
        {"256 used, no transparency: merged", 16, 16, 256, cycle(256), none, false, "", 256, -1, {}},
        {"256 used with transparency", 16, 17, 256, cycle(256), corner, true, std::string(300, 'c'), 256, -1, {}},
        {"comment of 255", 7, 3, 5, cycle(5), corner, false, std::string(255, 'x'), 8, 5, {}},
        // Neighbouring entries lie 37 units apart: levels 80 and 100 (48 and 60 units) may code one as the other.
        {"200 colours, transparency, lossy, 5 base", 320, 40, 200, mixed(200), corner, true, "", 256, -1, {100, 5}},
        {"16 used: 17th appended, lossy", 64, 40, 16, mixed(16), none, false, "", 32, 16, {80, 0}},
        {"16 used, lossy, nothing handed on", 64, 40, 16, mixed(16), none, false, "", 32, 16, {80, 0, 0}},
        {"lossy would grow the file", 64, 16, 16, runs(16), none, false, "", 32, 16, {20, 0}, true},
    };
    const std::string folder = MakeScratchDir("single-file");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto frame = MakeFrame(c.width, c.height, c.colors, c.index, c.transparent);
        frame->SetBackgroundColor(kBackground);
        frame->FrameInfo().interlaced = c.interlaced;
        frame->FrameInfo().hasGraphicControl = frame->HasTransparency();
        CvGIFComment comment(uint32_t(c.comment.size()), reinterpret_cast<const uint8_t*>(c.comment.data()));
        const std::vector<uint8_t> before = IndexBytes(*frame->GetIndexedImage());
        const std::string path = folder + "/" + std::to_string(&c - cases) + ".gif";

        const uint32_t counted = Count(*frame, &comment, c.lossy);
        EXPECT_EQ(Write(path, *frame, &comment, c.lossy), counted);
        EXPECT_EQ(std::filesystem::file_size(path), counted);
        // The caller's frame is not changed, even when a merge or a new entry was needed.
        EXPECT_EQ(IndexBytes(*frame->GetIndexedImage()), before);
        EXPECT_EQ(frame->GetIndexedImage()->colorTable.GetCount(), c.colors);

        GifReading reading = ReadWithGiflib(path);
        EXPECT_EQ(reading.palette.size(), 3 * c.paletteEntries);
        EXPECT_EQ(reading.interlaced, c.interlaced);
        EXPECT_EQ(reading.comment, c.comment);
        if (c.background >= 0) {
            EXPECT_EQ(reading.backgroundIndex, c.background);
        }
        EXPECT_TRUE(std::equal(kBackground, kBackground + 3, reading.palette.begin() + 3 * reading.backgroundIndex));
        EXPECT_EQ(reading.transparentIndex, frame->HasTransparency() ? reading.backgroundIndex : -1);
        // No opaque pixel shows the background entry; transparent ones all do.
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x)
                EXPECT_EQ(reading.indices[y * c.width + x] == reading.backgroundIndex, c.transparent(x, y) != 0)
                    << x << "," << y;
        if (c.lossy.level == 0) continue;
        EXPECT_EQ(BrokenPromise(reading, c.index, c.transparent, c.lossy), "");
        // Never larger than the exact file: where the lossy stream would be, the file is the exact one.
        const std::string exactPath = path + ".exact.gif";
        Write(exactPath, *frame, &comment);
        if (c.writtenExactly)
            EXPECT_TRUE(ReadFileBytes(path) == ReadFileBytes(exactPath)) << "not the exact file";
        else
            EXPECT_LT(counted, std::filesystem::file_size(exactPath)) << "lossy coding saved nothing";
    }
}

// The rows are coded in bands of about 65536 pixels (218 rows of 300), pass by pass, each band reported; the count
// comes out the same with or without a listener, and a listener stopping it leaves no file.
TEST(HCWriteSingleFile, TheRowsReportTheirProgressAndCanBeStopped) {
    auto frame = MakeFrame(
        300, 500, 200, [](uint32_t x, uint32_t y) { return (x * y + x / 7) % 200; },
        [](uint32_t, uint32_t) { return 0u; });
    for (const bool interlaced : {false, true}) {
        frame->FrameInfo().interlaced = interlaced;
        RecordingIndicator listener, stopping;
        EXPECT_EQ(HCWriteSingleFile(CvFileLocator(kCountOnlyPath), *frame, nullptr, false, 0, true, {}, &listener),
                  Count(*frame, nullptr));
        const std::vector<std::string> plain = {"start Writing", "update 218", "update 436", "update 500", "finish"},
                                       passes = {"start Writing", "update 63",  "update 125", "update 250",
                                                 "update 468",    "update 500", "finish"};
        EXPECT_EQ(listener.calls, interlaced ? passes : plain);
        stopping.stopAt = 250;
        const std::string folder = MakeScratchDir("single-file-stop");
        EXPECT_EQ(ErrorOf([&] { Write(folder + "/stopped.gif", *frame, nullptr, {}, &stopping); }),
                  interlaced ? 3u : 0u);
        EXPECT_EQ(std::filesystem::is_empty(folder), interlaced) << "a stopped write leaves no file";
    }
    // Lossy coding reports as it goes too, so a stop reaches it.
    RecordingIndicator stopAll;
    stopAll.stop = true;
    const std::string folder = MakeScratchDir("single-file-stop-lossy");
    EXPECT_EQ(ErrorOf([&] { Write(folder + "/stopped.gif", *frame, nullptr, HcLossyCoding{40, 0}, &stopAll); }), 3u);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    // It codes the rows both ways, to keep the smaller stream: the reports run on across both, up to twice the height
    // (the exact coding stops once it is longer).
    RecordingIndicator both;
    EXPECT_EQ(HCWriteSingleFile(CvFileLocator(kCountOnlyPath), *frame, nullptr, false, 0, true, {40, 0}, &both),
              Count(*frame, nullptr, {40, 0}));
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
    frame->SetBackgroundColor(kBackground);
    const std::string path = MakeScratchDir("single-file-empty") + "/empty.gif";
    EXPECT_EQ(Write(path, *frame, nullptr), Count(*frame, nullptr));
    GifReading reading = ReadWithGiflib(path);
    EXPECT_EQ(reading.width * reading.height, 1);
    EXPECT_EQ(reading.transparentIndex, reading.indices[0]);
    EXPECT_EQ(ReadWithPillow(path).transparentIndex, reading.transparentIndex);
    EXPECT_EQ(ReadRgbaWithImageMagick(path)[3], 0);
}
