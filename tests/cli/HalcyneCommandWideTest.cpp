// The Windows command with names outside the system's code page: its arguments arrive whole through the wide
// command line, and the GIF it writes equals, byte for byte, the one an ASCII-named run writes.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/RunProgram.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WideNames.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

int RunHalcyne(const std::vector<std::string>& arguments) {
    return RunBesideTests("halcyne.exe", arguments);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(fs::u8path(path), std::ios::binary) << bytes;
}
std::string ReadBytes(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A palette of five colours (six stored, the last one dropped as the loader does for a short file).
const std::string kPalette = "\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\x11\x11\x11"s;

}  // namespace

TEST(HalcyneCommandWide, NamesOutsideTheCodePageWriteTheSameGifAsAsciiNames) {
    const std::string dir = MakeScratchDir("wide-command");
    // The 3 x 2 picture of the readers' tests, whose rows and channels all differ.
    const std::string picture = ReadFileBytes(HC_TEST_DATA_DIR "/formats/rgb.ppm");
    WriteBytes(dir + "\\in.ppm", picture);
    WriteBytes(dir + "\\palette.act", kPalette);
    ASSERT_EQ(RunHalcyne({dir + "\\in.ppm", "-o", dir + "\\out.gif", "--palette-file", dir + "\\palette.act",
                          "--no-prefs", "-q"}),
              0);
    const std::string expected = ReadBytes(dir + "\\out.gif");
    ASSERT_GT(expected.size(), 40u);

    const std::string folder = dir + "\\" + kGreekName + " " + kEmojiName;
    fs::create_directories(fs::u8path(folder));
    const std::string input = folder + "\\" + kJapaneseName + ".ppm";
    const std::string palette = folder + "\\" + kGreekName + kEmojiName + ".act";
    WriteBytes(input, picture);
    WriteBytes(palette, kPalette);
    const std::string output = folder + "\\" + kJapaneseName + " " + kGreekName + ".gif";
    EXPECT_EQ(RunHalcyne({input, "-o", output, "--palette-file", palette, "--no-prefs", "-q"}), 0);
    EXPECT_EQ(ReadBytes(output), expected);
    // Without -o the GIF goes beside its input under the input's own name.
    EXPECT_EQ(RunHalcyne({input, "--palette-file", palette, "--no-prefs", "-q"}), 0);
    EXPECT_EQ(ReadBytes(folder + "\\" + kJapaneseName + ".gif"), expected);
    fs::remove_all(fs::u8path(dir));
}
