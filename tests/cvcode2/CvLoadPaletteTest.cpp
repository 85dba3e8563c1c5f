#include "cvcode2/CvLoadPalette.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ErrorOf.h"

namespace {
// An ACT-style file of `bytes` bytes whose byte i is i modulo 251 (so every colour differs).
std::string WriteAct(const std::string& dir, const std::string& name, size_t bytes) {
    std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < bytes; ++i) out.put(char(i % 251));
    return path;
}

}  // namespace

TEST(LoadACT, FullTableIgnoresTrailingBytes) {
    std::string dir = MakeScratchDir("act");
    auto table = LoadACT(WriteAct(dir, "full.act", 772));
    ASSERT_EQ(table->GetCount(), 256u);
    uint8_t r, g, b;
    table->GetEntry(255, r, g, b);
    EXPECT_EQ(r, 765 % 251);
    EXPECT_EQ(b, 767 % 251);
}

TEST(LoadACT, ShortFilesLoseTheirLastColourAndTinyOnesAreRefused) {
    std::string dir = MakeScratchDir("act");
    EXPECT_EQ(LoadACT(WriteAct(dir, "ten.act", 30))->GetCount(), 9u);
    EXPECT_EQ(LoadACT(WriteAct(dir, "two.act", 7))->GetCount(), 1u);  // the partial third colour does not count
    for (size_t bytes : {5, 0}) EXPECT_EQ(ErrorOf([&] { LoadACT(WriteAct(dir, "tiny.act", bytes)); }), 28u) << bytes;
    EXPECT_EQ(ErrorOf([&] { LoadACT(dir + "/missing.act"); }), 1u);
}
