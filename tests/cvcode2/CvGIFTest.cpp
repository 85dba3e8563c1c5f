// The GIF container and frame: the exact bytes written, every setting read back, the block structure of foreign
// files, refusal of files and frames that do not hold together; drawing a frame and turning it with the mask kept in
// step with the pixels, and the mask following the indexes marked. The transparent index a frame chooses shows in
// the engine's whole runs. Palette files: ACT tables of any length, the colour table a GIF holds, and the
// reader chosen by the name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFile.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLoadPalette.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/TestPaths.h"

namespace {

std::string Word(uint16_t value) {
    return std::string{char(value & 0xFF), char(value >> 8)};
}

// Header and screen of width x height with a two-entry global table: black, white.
std::string Head(uint16_t width, uint16_t height) {
    return "GIF89a" + Word(width) + Word(height) + std::string("\x80\x00\x00", 3) + std::string(3, '\0') +
           std::string(3, '\xFF');
}

// An image descriptor without a local table, then LZW data of code size 2 for the two indices 0, 1 (codes clear, 0,
// 1, end).
std::string TwoPixelImage(uint16_t left, uint16_t width, uint16_t height) {
    return std::string("\x2C") + Word(left) + Word(0) + Word(width) + Word(height) +
           std::string("\x00\x02\x02\x44\x0A\x00", 6);
}

struct OpenGif {
    explicit OpenGif(const std::string& bytes) {
        file.SetPath(WriteScratchFile("read.gif", bytes).c_str());
        file.Open(kCvFileRead);
    }
    std::unique_ptr<CvIndexedImage> Image() { return std::unique_ptr<CvIndexedImage>(file.ReadFrameImage()); }
    CvGIFFile file;
};

// Pixels whose mask bit says transparent, as 0/1 in display order: where the drawing shows a background that is
// no entry's colour.
std::vector<uint8_t> TransparentMap(CvGIFFrame& frame) {
    const uint8_t marker[3] = {7, 7, 7};
    frame.SetBackgroundColor(marker);
    std::vector<uint8_t> map, rgb = ReadRGB(frame);
    for (size_t i = 0; i < rgb.size(); i += 3) map.push_back(rgb[i] == 7 && rgb[i + 1] == 7);
    return map;
}

// An ACT-style file of `bytes` bytes whose byte i is i modulo 251 (so every colour differs).
std::string Act(const std::string& name, size_t bytes) {
    std::string content;
    for (size_t i = 0; i < bytes; ++i) content += char(i % 251);
    return WriteScratchFile(name, content);
}

// A GIF with the given global table (none when empty) and one frame per local table (an empty one: none).
std::string GifWithTables(const std::string& name, const CvColorTable& global,
                          const std::vector<CvColorTable>& locals) {
    const std::string path = WriteScratchFile(name, "");
    CvColorTable two(2);
    CvIndexedImage image(2, 2, &two);
    auto* info = new CvGIFGlobalInfo;
    info->hasGlobalColorTable = global.GetCount() > 0;
    info->globalColorTable = global;
    CvGIFFile file;
    file.SetPath(path.c_str());
    file.SetScreenSize(2, 2);
    file.SetGlobalInfo(info);
    file.SetFrameCount(uint32_t(locals.size()));
    file.Open(kCvFileWrite);
    if (locals.empty()) file.WriteHeader(), file.WriteTrailer();
    for (const CvColorTable& local : locals) {
        CvGIFFrameInfo frame;
        frame.width = frame.height = 2;
        frame.hasLocalColorTable = local.GetCount() > 0;
        frame.localColorTable = local;
        file.WriteFrame(&image, &frame);
    }
    file.Close();
    return path;
}

// `n` distinct colours: the test pictures' table.
CvColorTable Colours(uint32_t n) {
    return MakeIndexedPicture(1, 1, n)->colorTable;
}

}  // namespace

TEST(CvGIFFile, WritesHeaderTablesExtensionsAndDescriptorByteForByte) {
    auto image = MakeIndexedPicture(3, 2, 2);
    auto* global = new CvGIFGlobalInfo;
    global->hasGlobalColorTable = 1;
    global->globalColorTable = Colours(5);
    global->backgroundIndex = 3;
    global->pixelAspectRatio = 49;
    global->loopCount = 7;
    global->AddComment(2, reinterpret_cast<const uint8_t*>("hi"));
    global->AddComment(0, nullptr);  // empty: never written
    CvGIFFrameInfo info;
    info.width = 3;
    info.height = 2;
    info.localColorTable = image->colorTable;
    info.disposalMethod = 2;
    info.userInputFlag = 1;
    info.transparentFlag = 1;
    info.delayTime = 0x0102;
    info.transparentIndex = 1;

    const std::string path = WriteScratchFile("layout.gif", "");
    CvGIFFile file;
    file.SetPath(path.c_str());
    file.SetScreenSize(3, 2);
    file.SetGlobalInfo(global);
    file.SetFrameCount(1);
    file.Open(kCvFileWrite);
    file.WriteFrame(image.get(), &info);
    const uint32_t length = file.GetLength();
    file.Close();
    EXPECT_EQ(info.codeSize, 1);  // the unraised size is handed back

    // Header; screen 3 x 2 with the five-entry table padded to eight, background 3, aspect 49; loop extension of
    // 7; comment "hi" (the empty one is never written); control extension with disposal 2, user input, delay
    // 0x0102, transparent index 1; descriptor with the two-entry local table; code size 2; data; trailer.
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.size(), length);
    ExpectGolden("gif/one-frame-layout", bytes);
}

TEST(CvGIFFile, ScanFollowsTheBlockStructureOfForeignFiles) {
    const std::string bytes = Head(2, 1) + std::string("\x00\x00", 2) +
                              std::string("\x21\xF9\x04\x00\x05\x00\x00\x00", 8) +  // replaced by the next one
                              std::string("\x21\xF9\x04\x01\x09\x00\x01\x00", 8) +
                              std::string("\x21\xFF\x0BXMP DataXMP\x02\xAA\xBB\x00", 18) +
                              std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x04\x00\x00", 19) +
                              std::string("\x21\x01\x0C", 3) + std::string(12, 'p') + std::string(1, '\0') +
                              TwoPixelImage(0, 2, 1) + std::string("\x21\xFE\x03") + "end" + std::string(1, '\0') +
                              "\x3B";
    OpenGif gif(bytes);
    EXPECT_EQ(gif.file.GetFrameCount(), 1u);
    std::unique_ptr<CvGIFGlobalInfo> global(static_cast<CvGIFGlobalInfo*>(gif.file.GetGlobalInfo()));
    EXPECT_EQ(std::make_pair(int(global->hasLoopExtension), int(global->loopCount)), std::make_pair(1, 4));
    ASSERT_EQ(global->CommentCount(), 1u);  // after the last image, still collected
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(global->CommentAt(0)->Bytes()), 3), "end");
    gif.file.SeekFrame(0);  // control, delay, transparency and its index, local table
    std::unique_ptr<CvGIFFrameInfo> info(static_cast<CvGIFFrameInfo*>(gif.file.ReadFrameInfo()));
    EXPECT_EQ((std::vector<int>{info->hasGraphicControl, info->delayTime, info->transparentFlag, info->transparentIndex,
                                info->hasLocalColorTable}),
              (std::vector<int>{1, 9, 1, 1, 0}));
    auto image = gif.Image();
    EXPECT_EQ(IndexBytes(*image), (std::vector<uint8_t>{0, 1}));
    // Reading the image again, without reading the info first, gives the same.
    EXPECT_EQ(IndexBytes(*gif.Image()), (std::vector<uint8_t>{0, 1}));
    EXPECT_EQ(ErrorOf([&] { gif.file.SeekFrame(1); }), kCvErrBadArgument);
}

// Writing: an image wider than a file can state, a screen as wide (the frame fits in it), and a frame stated one
// column wider than its image are each refused. Reading: broken files are refused when opened; frames that cannot
// be decoded safely when their image is read: a graphic control extension of the wrong size, one column past the
// screen, frames of 65535 x 65535 (4 GiB) or 4097 x 4097 declared with four bytes of data (refused before
// allocating). Code sizes are the decoder's to refuse.
TEST(CvGIFFile, RefusesWhatCannotBeWrittenOrDecodedSafely) {
    auto wide = MakeIndexedPicture(65536, 1, 2), image = MakeIndexedPicture(4, 4, 4);
    EXPECT_EQ(ErrorOf([&] { delete CvGIFFile().NewFrameInfo(wide.get()); }), kCvErrSizeMismatch);
    for (auto [screen, stated] : {std::pair<uint32_t, uint16_t>{65536, 4}, {8, 5}}) {
        CvGIFFile file;
        file.SetScreenSize(screen, 8);
        file.SetFrameCount(1);
        file.Open(kCvFileWrite | kCvFileCountOnly);
        std::unique_ptr<CvGIFFrameInfo> info(static_cast<CvGIFFrameInfo*>(file.NewFrameInfo(image.get())));
        info->width = stated;
        EXPECT_EQ(ErrorOf([&] { file.WriteFrame(image.get(), info.get()); }), kCvErrSizeMismatch) << screen;
        file.Close();
    }
    const std::pair<std::string, uint32_t> cases[] = {
        {"GIX89a" + Head(1, 1).substr(6) + "\x3B", kCvErrGIFSignature},
        {"GIF90a" + Head(1, 1).substr(6) + "\x3B", kCvErrGIFVersion},
        {Head(2, 1) + TwoPixelImage(0, 2, 1), kCvErrFileEnd},  // no trailer
        {Head(2, 1) + "\x99\x3B", kCvErrBadData},
        {Head(2, 1) + std::string("\x2C\x00", 2), kCvErrFileEnd},
        {"GIF8", kCvErrFileEnd},
        {Head(2, 1) + std::string("\x21\xF9\x05\x00\x00\x00\x00\x00\x00", 9) + TwoPixelImage(0, 2, 1) + "\x3B",
         kCvErrBadData},
        {Head(2, 1) + TwoPixelImage(1, 2, 1) + "\x3B", kCvErrBadData},
        {Head(65535, 65535) + TwoPixelImage(0, 65535, 65535) + "\x3B", kCvErrBadData},
        {Head(4097, 4097) + TwoPixelImage(0, 4097, 4097) + "\x3B", kCvErrBadData},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf([&] { OpenGif(c.first).Image(); }), c.second) << &c - cases;
}

// Marking an index sets the mask under its pixels and the flag by what the mask then holds; rebuilding the mask
// marks the transparent index's pixels afresh.
TEST(CvGIFFrame, TheMaskFollowsMarkingRebuildingDrawingAndTransforms) {
    const uint8_t layout[8] = {0, 1, 2, 3, 3, 3, 1, 0};  // 4 x 2, all opaque
    auto frame = MakeFrame(
        4, 2, 6, [&](uint32_t x, uint32_t y) { return uint32_t(layout[y * 4 + x]); },
        [](uint32_t, uint32_t) { return 0u; });
    frame->MarkIndexTransparent(1);
    EXPECT_EQ(TransparentMap(*frame), (std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 1, 0}));
    frame->FrameInfo().transparentIndex = 3;
    frame->RebuildMask();
    EXPECT_EQ(TransparentMap(*frame), (std::vector<uint8_t>{0, 0, 0, 1, 1, 1, 0, 0}));
    frame->MarkIndexOpaque(3);
    EXPECT_FALSE(frame->HasTransparency());
    // Drawn in every layout and after every right-angle transform, the background shows exactly under the
    // transparent pixel, so the mask stays in step with the pixels.
    frame = MakeFrame(
        3, 2, 6, [](uint32_t x, uint32_t y) { return x == 2 && y == 0 ? 5u : x + y; },
        [](uint32_t x, uint32_t y) { return uint32_t(x == 2 && y == 0); });
    const uint8_t background[3] = {4, 5, 6};
    frame->SetBackgroundColor(background);
    std::vector<uint8_t> expected;
    for (uint32_t i = 0; i < 6; ++i) {
        const uint8_t* rgb = i == 2 ? background : frame->GetIndexedImage()->colorTable.Entry(i % 3 + i / 3);
        expected.insert(expected.end(), rgb, rgb + 3);
    }
    ExpectEveryLayoutReadsAlike(3, 2, expected, GetRGBOf(*frame));
    ExpectPixelsFollowTheTransforms(*frame);  // a turned image that is no frame would show no background
}

// Full ACT tables ignore trailing bytes, short ones lose their last colour, tiny ones are refused; the reader is
// chosen by the name's ending in either case, and other names load nothing. A GIF gives its global table as
// stored, else the first local table.
TEST(LoadPaletteFile, ActAndGifTablesAndTheReaderChosenByTheName) {
    auto table = LoadACT(Act("full.act", 772));
    ASSERT_EQ(table->GetCount(), 256u);
    const uint8_t* last = table->Entry(255);
    EXPECT_EQ(std::make_pair(last[0], last[2]), std::make_pair(uint8_t(765 % 251), uint8_t(767 % 251)));
    EXPECT_EQ(LoadACT(Act("two.act", 7))->GetCount(), 1u);  // the partial third colour does not count
    for (size_t bytes : {5, 0}) EXPECT_EQ(ErrorOf([&] { LoadACT(Act("tiny.act", bytes)); }), 28u) << bytes;
    EXPECT_EQ(ErrorOf([&] { LoadACT(MakeScratchDir("act") + "/missing.act"); }), 1u);
    for (const char* name : {"lower.act", "upper.ACT", "mixed.aCt"}) {  // ten colours, the last one lost
        auto loaded = LoadPaletteFile(Act(name, 30));
        ASSERT_NE(loaded, nullptr) << name;
        EXPECT_EQ(loaded->GetCount(), 9u) << name;
    }
    // ACT bytes in a file named as GIF are read as GIF, and refused as one.
    EXPECT_EQ(ErrorOf([&] { LoadPaletteFile(Act("act.GIF", 768)); }), kCvErrGIFSignature);
    // A missing file of another name is no error either.
    for (const char* name : {"table.act.bak", "act"}) EXPECT_EQ(LoadPaletteFile(Act(name, 768)), nullptr) << name;
    EXPECT_EQ(LoadPaletteFile(MakeScratchDir("act") + "/missing.pal"), nullptr);
    // The global table, of three colours stored padded to four: the fourth, black, comes too.
    CvColorTable padded = Colours(3);
    padded.SetCount(4);
    EXPECT_EQ(*LoadPaletteFile(GifWithTables("global.Gif", Colours(3), {Colours(2)})), padded);
    EXPECT_EQ(*LoadGIFPalette(GifWithTables("second.gif", {}, {{}, Colours(8), Colours(2)})), Colours(8));
    EXPECT_EQ(LoadGIFPalette(GifWithTables("none.gif", {}, {{}}))->GetCount(), 0u);
    EXPECT_EQ(ErrorOf([&] { LoadGIFPalette(GifWithTables("empty.gif", {}, {})); }), kCvErrBadData);
    EXPECT_EQ(ErrorOf([&] { LoadGIFPalette(MakeScratchDir("gif") + "/missing.gif"); }), kCvErrFileNotFound);
}
