#include <gtest/gtest.h>

#include <fstream>
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
std::string WriteAct(const std::string& dir, const std::string& name, size_t bytes) {
    std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < bytes; ++i) out.put(char(i % 251));
    return path;
}

}  // namespace

TEST(LoadACT, FullTablesIgnoreTrailingBytesShortOnesLoseTheirLastColourTinyOnesAreRefused) {
    std::string dir = MakeScratchDir("act");
    auto table = LoadACT(WriteAct(dir, "full.act", 772));
    ASSERT_EQ(table->GetCount(), 256u);
    uint8_t r, g, b;
    table->GetEntry(255, r, g, b);
    EXPECT_EQ(r, 765 % 251);
    EXPECT_EQ(b, 767 % 251);
    EXPECT_EQ(LoadACT(WriteAct(dir, "ten.act", 30))->GetCount(), 9u);
    EXPECT_EQ(LoadACT(WriteAct(dir, "two.act", 7))->GetCount(), 1u);  // the partial third colour does not count
    for (size_t bytes : {5, 0}) EXPECT_EQ(ErrorOf([&] { LoadACT(WriteAct(dir, "tiny.act", bytes)); }), 28u) << bytes;
    EXPECT_EQ(ErrorOf([&] { LoadACT(dir + "/missing.act"); }), 1u);
}

namespace {
// A GIF with the given global table (none when empty) and one frame per local table (an empty one: none).
std::string WriteGifWithTables(const std::string& path, const CvColorTable& global,
                               const std::vector<CvColorTable>& locals) {
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
    if (locals.empty()) file.WriteHeader();
    for (const CvColorTable& local : locals) {
        CvGIFFrameInfo frame;
        frame.width = frame.height = 2;
        frame.hasLocalColorTable = local.GetCount() > 0;
        frame.localColorTable = local;
        file.WriteFrame(&image, &frame);
    }
    if (locals.empty()) file.WriteTrailer();
    file.Close();
    return path;
}

CvColorTable Colours(uint32_t n, uint8_t base) {
    CvColorTable table(n);
    for (uint32_t i = 0; i < n; ++i) table.SetEntry(i, uint8_t(base + i), uint8_t(base * 2 + i), uint8_t(i));
    return table;
}

uint32_t GifLoadError(const std::string& path) {
    return ErrorOf([&] { LoadGIFPalette(path); });
}
}  // namespace

TEST(LoadGIFPalette, TakesTheGlobalTableAsStoredElseTheFirstLocalTable) {
    std::string dir = MakeScratchDir("gifpal");
    // Three colours are stored padded to four: the fourth, black, comes too.
    CvColorTable padded = Colours(3, 10);
    padded.SetCount(4);
    EXPECT_EQ(*LoadGIFPalette(WriteGifWithTables(dir + "/global.gif", Colours(3, 10), {Colours(2, 90)})), padded);
    EXPECT_EQ(*LoadGIFPalette(WriteGifWithTables(dir + "/second.gif", CvColorTable(),
                                                 {CvColorTable(), Colours(8, 50), Colours(2, 70)})),
              Colours(8, 50));
    EXPECT_EQ(LoadGIFPalette(WriteGifWithTables(dir + "/none.gif", CvColorTable(), {CvColorTable()}))->GetCount(), 0u);
    EXPECT_EQ(GifLoadError(WriteGifWithTables(dir + "/empty.gif", CvColorTable(), {})), kCvErrBadData);
    EXPECT_EQ(GifLoadError(WriteAct(dir, "act.gif", 768)), kCvErrGIFSignature);
    EXPECT_EQ(GifLoadError(dir + "/missing.gif"), kCvErrFileNotFound);
}

TEST(LoadPaletteFile, ChoosesTheReaderByTheNameEndingInEitherCase) {
    std::string dir = MakeScratchDir("palfile");
    EXPECT_EQ(LoadPaletteFile(WriteAct(dir, "upper.ACT", 30))->GetCount(), 9u);
    EXPECT_EQ(LoadPaletteFile(WriteAct(dir, "mixed.aCt", 30))->GetCount(), 9u);
    EXPECT_EQ(*LoadPaletteFile(WriteGifWithTables(dir + "/pal.Gif", Colours(4, 10), {Colours(2, 90)})), Colours(4, 10));
    // ACT bytes in a file named as GIF are read as GIF, and refused as one.
    EXPECT_EQ(ErrorOf([&] { LoadPaletteFile(WriteAct(dir, "act.GIF", 768)); }), kCvErrGIFSignature);
    // Other names load nothing, whatever the file holds; a missing file of such a name is no error either.
    EXPECT_EQ(LoadPaletteFile(WriteAct(dir, "table.act.bak", 768)), nullptr);
    EXPECT_EQ(LoadPaletteFile(WriteAct(dir, "act", 768)), nullptr);
    EXPECT_EQ(LoadPaletteFile(dir + "/missing.pal"), nullptr);
}
