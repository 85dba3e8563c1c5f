// The file of the window bench's whole interactive run, read back by readers we did not write (giflib and Pillow):
// its transparent pixels must be exactly the layer's hole and the painted stroke the bench recorded beside it.
// Native; it checks the files the Windows suites of this build tree left, and skips when there are none.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/GifInspect.h"

namespace {

std::vector<std::string> ReadMaskRows(const std::filesystem::path& path) {
    std::vector<std::string> rows;
    std::ifstream in(path);
    for (std::string row; std::getline(in, row);) {
        if (!row.empty() && row.back() == '\r') row.pop_back();  // written in text mode on Windows
        rows.push_back(row);
    }
    return rows;
}

void ExpectMatchesMask(const GifReading& reading, const std::vector<std::string>& mask, const std::string& reader) {
    SCOPED_TRACE(reader);
    ASSERT_EQ(reading.height, int(mask.size()));
    ASSERT_GE(reading.transparentIndex, 0);
    int wrong = 0;
    for (int y = 0; y < reading.height; ++y) {
        ASSERT_EQ(int(mask[size_t(y)].size()), reading.width);
        for (int x = 0; x < reading.width; ++x) {
            const bool transparent = reading.indices[size_t(y) * reading.width + x] == reading.transparentIndex;
            wrong += transparent != (mask[size_t(y)][size_t(x)] == '1');
        }
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace

TEST(HcSessionFileTest, IndependentReadersSeeThePaintedMask) {
    const std::filesystem::path build = std::filesystem::path(HC_TEST_DATA_DIR) / ".." / ".." / "build";
    int checked = 0;
    for (const char* preset : {"win64", "win32"}) {
        const std::filesystem::path dir = build / preset / "screenshots";
        if (!std::filesystem::exists(dir / "session-file.gif")) continue;
        SCOPED_TRACE(preset);
        const std::string gif = (dir / "session-file.gif").string();
        const std::vector<std::string> mask = ReadMaskRows(dir / "session-file-mask.txt");
        const GifReading giflib = ReadWithGiflib(gif), pillow = ReadWithPillow(gif);
        ExpectMatchesMask(giflib, mask, "giflib");
        ExpectMatchesMask(pillow, mask, "Pillow");
        EXPECT_EQ(giflib.palette, pillow.palette);
        EXPECT_EQ(giflib.comment, "Made on the bench");
        ++checked;
    }
    if (checked == 0) GTEST_SKIP() << "no Windows suite of this tree has run the whole interactive run yet";
}
