// Palette files: ACT tables of any length, the colour table a GIF holds, and the reader chosen by the name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFile.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLoadPalette.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TestPaths.h"

namespace {
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

CvColorTable Colours(uint32_t n, uint8_t base) {
    CvColorTable table(n);
    for (uint32_t i = 0; i < n; ++i) table.SetEntry(i, uint8_t(base + i), uint8_t(base * 2 + i), uint8_t(i));
    return table;
}
}  // namespace

// Full tables ignore trailing bytes, short ones lose their last colour, tiny ones are refused; the reader is
// chosen by the name's ending in either case, and other names load nothing.
TEST(LoadPaletteFile, ActTablesOfAnyLengthAndTheReaderChosenByTheName) {
    auto table = LoadACT(Act("full.act", 772));
    ASSERT_EQ(table->GetCount(), 256u);
    uint8_t r, g, b;
    table->GetEntry(255, r, g, b);
    EXPECT_EQ(std::make_pair(r, b), std::make_pair(uint8_t(765 % 251), uint8_t(767 % 251)));
    EXPECT_EQ(LoadACT(Act("ten.act", 30))->GetCount(), 9u);
    EXPECT_EQ(LoadACT(Act("two.act", 7))->GetCount(), 1u);  // the partial third colour does not count
    for (size_t bytes : {5, 0}) EXPECT_EQ(ErrorOf([&] { LoadACT(Act("tiny.act", bytes)); }), 28u) << bytes;
    EXPECT_EQ(ErrorOf([&] { LoadACT(MakeScratchDir("act") + "/missing.act"); }), 1u);
    for (const char* name : {"lower.act", "upper.ACT", "mixed.aCt"}) {
        auto loaded = LoadPaletteFile(Act(name, 30));
        ASSERT_NE(loaded, nullptr) << name;
        EXPECT_EQ(loaded->GetCount(), 9u) << name;
    }
    EXPECT_EQ(*LoadPaletteFile(GifWithTables("pal.Gif", Colours(4, 10), {Colours(2, 90)})), Colours(4, 10));
    // ACT bytes in a file named as GIF are read as GIF, and refused as one.
    EXPECT_EQ(ErrorOf([&] { LoadPaletteFile(Act("act.GIF", 768)); }), kCvErrGIFSignature);
    // A missing file of another name is no error either.
    for (const char* name : {"table.act.bak", "act"}) EXPECT_EQ(LoadPaletteFile(Act(name, 768)), nullptr) << name;
    EXPECT_EQ(LoadPaletteFile(MakeScratchDir("act") + "/missing.pal"), nullptr);
}

TEST(LoadGIFPalette, TakesTheGlobalTableAsStoredElseTheFirstLocalTable) {
    // Three colours are stored padded to four: the fourth, black, comes too.
    CvColorTable padded = Colours(3, 10);
    padded.SetCount(4);
    EXPECT_EQ(*LoadGIFPalette(GifWithTables("global.gif", Colours(3, 10), {Colours(2, 90)})), padded);
    EXPECT_EQ(*LoadGIFPalette(GifWithTables("second.gif", {}, {{}, Colours(8, 50), Colours(2, 70)})), Colours(8, 50));
    EXPECT_EQ(LoadGIFPalette(GifWithTables("none.gif", {}, {{}}))->GetCount(), 0u);
    EXPECT_EQ(ErrorOf([&] { LoadGIFPalette(GifWithTables("empty.gif", {}, {})); }), kCvErrBadData);
    EXPECT_EQ(ErrorOf([&] { LoadGIFPalette(Act("act.gif", 768)); }), kCvErrGIFSignature);
    EXPECT_EQ(ErrorOf([&] { LoadGIFPalette(MakeScratchDir("gif") + "/missing.gif"); }), kCvErrFileNotFound);
}
